#pragma once
// HTTP requests. send() blocks and is meant for worker threads; start() runs
// the request in the background and reports headers, body chunks and the end
// on the main queue. Nothing is cached.

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/Result.h"

namespace qp {

inline constexpr const char* kHttpErrorDomain = "qp.http";

// Codes of errors in kHttpErrorDomain.
enum class HttpErrorCode {
    Failed = 1,          // the transfer failed (connection refused, bad URL, ...)
    TimedOut = 2,        // no answer within the request's time-out
    Cancelled = 3,       // cancelled by the caller
    UnsupportedURL = 4,  // not an http or https URL
    TooLarge = 5         // the body passed the request's maxResponseBytes
};

// The largest response body a request takes unless it says otherwise.
inline constexpr std::size_t kDefaultMaxResponseBytes = 64u << 20;

// Lets another thread stop blocking sends: cancel() ends the send running
// with it promptly with Cancelled, and every later send that carries it
// fails at once. Share one between the sender's thread and the canceller.
class HttpCancellation {
public:
    void cancel();
    bool isCancelled() const;

    // For HTTP clients: `stop` ends the running send; it is called at once
    // when cancel() came first. Detach before the send's state goes.
    void attach(std::function<void()> stop);
    void detach();

private:
    mutable std::mutex m_mutex;
    bool m_cancelled = false;
    std::function<void()> m_stop;
};

struct HttpRequest {
    std::string url;
    std::string method = "GET";
    // Header names are matched case-insensitively; later values replace earlier.
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
    std::chrono::milliseconds timeout{60000};
    bool useCookies = true;
    // A body growing past this ends the transfer with TooLarge, so a broken
    // or hostile server cannot fill the memory.
    std::size_t maxResponseBytes = kDefaultMaxResponseBytes;
    // Stops a blocking send() from another thread; none: it runs its course.
    std::shared_ptr<HttpCancellation> cancellation;

    void setHeader(const std::string& name, const std::string& value);
    std::optional<std::string> header(const std::string& name) const;
};

struct HttpResponse {
    int statusCode = 0;
    std::string url;  // after redirects
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;

    std::optional<std::string> header(const std::string& name) const;
    // The response's MIME type, e.g. "text/javascript" from "text/javascript; charset=utf-8".
    std::string mimeType() const;
};

// Receives the events of one asynchronous request, all on the main thread,
// in this order: didReceiveResponse once, didReceiveData zero or more times,
// then exactly one of didFinish or didFail. Nothing arrives after cancel().
class HttpRequestObserver {
public:
    virtual ~HttpRequestObserver() = default;
    virtual void didReceiveResponse(const HttpResponse& /*headersOnly*/) {}
    virtual void didReceiveData(const std::string& /*chunk*/) {}
    virtual void didFinish() {}
    virtual void didFail(const Error& /*error*/) {}
};

// A running asynchronous request. Destroying it cancels the request.
class HttpTask {
public:
    virtual ~HttpTask() = default;
    virtual void cancel() = 0;
    virtual bool isFinished() const = 0;
};

// Cookies kept across requests of one client, keyed by host.
struct HttpCookie {
    std::string domain;
    std::string path = "/";
    std::string name;
    std::string value;
    bool secure = false;
};

// Whether `cookie` would be sent to `url`: the URL's host lies within the
// cookie's domain and its path under the cookie's path.
bool httpCookieAppliesToURL(const HttpCookie& cookie, const std::string& url);

class HttpClient {
public:
    virtual ~HttpClient() = default;

    // Blocks until the whole response has arrived or the request failed.
    // A non-2xx status is a response, not an error.
    virtual Result<HttpResponse> send(const HttpRequest& request) = 0;

    // Starts `request` and reports to `observer` on the main queue. The
    // observer must outlive the task or the task must be cancelled first.
    virtual std::unique_ptr<HttpTask> start(const HttpRequest& request,
                                            HttpRequestObserver* observer) = 0;

    virtual std::vector<HttpCookie> cookies() const = 0;
    virtual void deleteCookie(const HttpCookie& cookie) = 0;
};

}  // namespace qp
