#pragma once
// A bare HTTP/1.1 server on 127.0.0.1 for the Graph tests: it hands each
// request's raw body to the test's handler. (cpp-httplib parses every
// multipart body itself and answers 400 to one without a closing delimiter,
// which is what the client sends.) One connection at a time, closed after
// each answer.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <functional>
#include <map>
#include <string>
#include <thread>

namespace qp {

class RawHttpServer {
public:
    struct Request {
        std::string method;
        std::string target;                          // path and query as sent
        std::map<std::string, std::string> headers;  // names lower-cased
        std::string body;
    };
    struct Response {
        int status = 200;
        std::string contentType = "text/javascript";
        std::string body;
    };
    using Handler = std::function<Response(const Request&)>;

    explicit RawHttpServer(Handler handler) : m_handler(std::move(handler)) {
        m_listener = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (m_listener < 0 ||
            bind(m_listener, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            listen(m_listener, 8) != 0 ||
            getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            return;
        }
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { serve(); });
    }
    ~RawHttpServer() {
        m_stopping = true;
        if (m_thread.joinable()) m_thread.join();
        if (m_listener >= 0) close(m_listener);
    }
    RawHttpServer(const RawHttpServer&) = delete;
    RawHttpServer& operator=(const RawHttpServer&) = delete;

    bool running() const { return m_port != 0; }
    std::string url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(m_port) + path;
    }

private:
    void serve() {
        while (!m_stopping) {
            pollfd waiting{m_listener, POLLIN, 0};
            if (poll(&waiting, 1, 20) <= 0) continue;  // wakes to notice the stop
            const int connection = accept(m_listener, nullptr, nullptr);
            if (connection < 0) continue;
            handle(connection);
            close(connection);
        }
    }

    static bool readMore(int connection, std::string& buffer) {
        char chunk[65536];
        const ssize_t got = recv(connection, chunk, sizeof chunk, 0);
        if (got <= 0) return false;
        buffer.append(chunk, static_cast<std::size_t>(got));
        return true;
    }

    static void sendAll(int connection, const std::string& bytes) {
        std::size_t sent = 0;
        while (sent < bytes.size()) {
            const ssize_t n =
                ::send(connection, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) return;
            sent += static_cast<std::size_t>(n);
        }
    }

    void handle(int connection) {
        std::string buffer;
        std::size_t headerEnd;
        while ((headerEnd = buffer.find("\r\n\r\n")) == std::string::npos) {
            if (!readMore(connection, buffer)) return;
        }
        Request request;
        std::size_t lineStart = 0;
        std::size_t lineEnd = buffer.find("\r\n");
        const std::string requestLine = buffer.substr(0, lineEnd);
        request.method = requestLine.substr(0, requestLine.find(' '));
        const std::size_t targetStart = request.method.size() + 1;
        request.target = requestLine.substr(targetStart, requestLine.rfind(' ') - targetStart);
        while (true) {
            lineStart = lineEnd + 2;
            lineEnd = buffer.find("\r\n", lineStart);
            if (lineEnd == std::string::npos || lineEnd > headerEnd || lineEnd == lineStart) break;
            const std::string line = buffer.substr(lineStart, lineEnd - lineStart);
            const std::size_t colon = line.find(':');
            if (colon == std::string::npos) continue;
            std::string name = line.substr(0, colon);
            std::transform(name.begin(), name.end(), name.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
            request.headers[name] = line.substr(line.find_first_not_of(' ', colon + 1));
        }
        std::size_t length = 0;
        if (auto it = request.headers.find("content-length"); it != request.headers.end()) {
            length = std::stoul(it->second);
        }
        if (auto it = request.headers.find("expect"); it != request.headers.end()) {
            sendAll(connection, "HTTP/1.1 100 Continue\r\n\r\n");
        }
        request.body = buffer.substr(headerEnd + 4);
        while (request.body.size() < length) {
            if (!readMore(connection, request.body)) return;
        }
        const Response response = m_handler(request);
        sendAll(connection, "HTTP/1.1 " + std::to_string(response.status) +
                                " Answer\r\nContent-Type: " + response.contentType +
                                "\r\nContent-Length: " + std::to_string(response.body.size()) +
                                "\r\nConnection: close\r\n\r\n" + response.body);
    }

    Handler m_handler;
    int m_listener = -1;
    int m_port = 0;
    std::atomic<bool> m_stopping{false};
    std::thread m_thread;
};

}  // namespace qp
