#pragma once
// Keeps one windowed app per app home. A later start hands its URL (a login
// redirect from the browser), or only its wish to see the window, to the
// running app over a local socket and ends; the running app listens on that
// socket. The socket is owner-only and named after the home, so two homes
// never meet.

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Result.h"

class QLocalServer;
class QLocalSocket;

namespace qp {

inline constexpr const char* kInstanceErrorDomain = "qp.instance";
enum InstanceErrorCode {
    kInstanceErrorNoAnswer = 1,  // the running app took the connection but did not answer
    kInstanceErrorListen = 2,    // the socket could not be made
};

// A peer that says nothing for this long is dropped.
inline constexpr std::chrono::milliseconds kInstanceSilenceLimit{1000};

class InstanceChannel {
public:
    enum class Claim {
        Owner,      // no app was running: this one now listens
        Forwarded,  // the running app took the request; this start can end
    };
    struct Handlers {
        std::function<void(const std::string& url)> open;
        std::function<void()> raise;
    };

    // The socket of the app home `home`, in the private runtime folder.
    static std::filesystem::path socketPath(const std::filesystem::path& runtimeFolder,
                                            const std::filesystem::path& home);

    explicit InstanceChannel(std::filesystem::path socketPath,
                             std::chrono::milliseconds silenceLimit = kInstanceSilenceLimit);
    ~InstanceChannel();
    InstanceChannel(const InstanceChannel&) = delete;
    InstanceChannel& operator=(const InstanceChannel&) = delete;

    // Hands `url` (empty: only the wish to see the window) to the app running
    // on this home; with none running (a socket left by a crashed app is
    // removed) starts listening instead. Needs a QCoreApplication; blocks for
    // at most a few seconds.
    Result<Claim> claim(const std::string& url);

    // What to do with requests from later starts; called on the main thread
    // after the requesting start has had its answer. Requests that came
    // before (while the app was still launching) are handed on now.
    void setHandlers(Handlers handlers);

    const std::filesystem::path& socketPath() const { return m_socketPath; }
    bool isListening() const;

private:
    Result<Claim> forward(QLocalSocket& socket, const std::string& url);
    Result<Claim> listen();
    void acceptConnections();
    void readRequest(QLocalSocket* peer);
    // Hands a request on to the handlers, once the event loop is back.
    void deliverLater(std::optional<std::string> url);

    std::filesystem::path m_socketPath;
    std::chrono::milliseconds m_silenceLimit;
    std::unique_ptr<QLocalServer> m_server;
    Handlers m_handlers;
    bool m_hasHandlers = false;
    // Requests that came before the handlers: a URL, or nothing for a raise.
    std::vector<std::optional<std::string>> m_early;
};

}  // namespace qp
