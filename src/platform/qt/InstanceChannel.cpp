#include "platform/qt/InstanceChannel.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QTimer>

#include "platform/IncomingURL.h"

namespace qp {

namespace fs = std::filesystem;

namespace {

// One request per connection, one line each; the answer is one line too.
constexpr const char* kOpenRequest = "open ";
constexpr const char* kRaiseRequest = "raise";
constexpr const char* kTakenAnswer = "ok";
// The longest request line: "open " and the longest URL accepted.
constexpr qint64 kMaxRequestLength = 5 + kMaxIncomingURLLength;

constexpr int kConnectWaitMs = 1000;
constexpr int kAnswerWaitMs = 5000;
// Two starts at the same moment take turns at the socket.
constexpr int kTurnWaitMs = 5000;

Error instanceError(InstanceErrorCode code, const std::string& what) {
    return Error(kInstanceErrorDomain, code, {{kLocalizedDescriptionKey, what}});
}

void drop(QLocalSocket* peer) {
    peer->abort();
    peer->deleteLater();
}

}  // namespace

fs::path InstanceChannel::socketPath(const fs::path& runtimeFolder, const fs::path& home) {
    std::error_code ec;
    fs::path canonical = fs::weakly_canonical(home, ec);
    if (ec) canonical = fs::absolute(home, ec).lexically_normal();
    std::string text = canonical.string();
    while (text.size() > 1 && text.back() == '/') text.pop_back();
    const QByteArray digest =
        QCryptographicHash::hash(QByteArray::fromStdString(text), QCryptographicHash::Sha256);
    return runtimeFolder / ("quillpost-" + digest.toHex().left(16).toStdString());
}

InstanceChannel::InstanceChannel(fs::path socketPath, std::chrono::milliseconds silenceLimit)
    : m_socketPath(std::move(socketPath)), m_silenceLimit(silenceLimit) {}

InstanceChannel::~InstanceChannel() = default;

bool InstanceChannel::isListening() const {
    return m_server && m_server->isListening();
}

Result<InstanceChannel::Claim> InstanceChannel::claim(const std::string& url) {
    QLockFile turn(QString::fromStdString(m_socketPath.string() + ".lock"));
    // Without the turn (a frozen start holds it) going ahead is still safe:
    // at worst two apps run, as they did before there was a channel.
    (void)turn.tryLock(kTurnWaitMs);

    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(m_socketPath.string()));
    if (socket.waitForConnected(kConnectWaitMs)) return forward(socket, url);
    return listen();
}

Result<InstanceChannel::Claim> InstanceChannel::forward(QLocalSocket& socket,
                                                        const std::string& url) {
    const std::string request = url.empty() ? std::string(kRaiseRequest) : kOpenRequest + url;
    socket.write(QByteArray::fromStdString(request + "\n"));
    socket.flush();
    while (!socket.canReadLine() && socket.waitForReadyRead(kAnswerWaitMs)) {
    }
    if (socket.canReadLine() && socket.readLine().trimmed() == kTakenAnswer) {
        return Claim::Forwarded;
    }
    return instanceError(kInstanceErrorNoAnswer,
                         "Quillpost is running on this home but did not answer at " +
                             m_socketPath.string() +
                             ". Close it (or end it if it hangs), then start again.");
}

Result<InstanceChannel::Claim> InstanceChannel::listen() {
    // Nobody answered: a socket file still there was left by an app that
    // ended without closing it.
    const QString name = QString::fromStdString(m_socketPath.string());
    QLocalServer::removeServer(name);
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(name)) {
        const std::string reason = m_server->errorString().toStdString();
        m_server.reset();
        return instanceError(kInstanceErrorListen, "Cannot listen for later starts at " +
                                                       m_socketPath.string() + ": " + reason);
    }
    QObject::connect(m_server.get(), &QLocalServer::newConnection, [this] { acceptConnections(); });
    return Claim::Owner;
}

void InstanceChannel::acceptConnections() {
    while (QLocalSocket* peer = m_server->nextPendingConnection()) {
        auto* silence = new QTimer(peer);
        silence->setSingleShot(true);
        QObject::connect(silence, &QTimer::timeout, peer, [peer] { drop(peer); });
        silence->start(m_silenceLimit);
        QObject::connect(peer, &QLocalSocket::readyRead, peer, [this, peer] { readRequest(peer); });
        QObject::connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
        if (peer->bytesAvailable() > 0) readRequest(peer);
    }
}

void InstanceChannel::readRequest(QLocalSocket* peer) {
    if (!peer->canReadLine()) {
        if (peer->bytesAvailable() > kMaxRequestLength) drop(peer);
        return;
    }
    QByteArray line = peer->readLine(kMaxRequestLength + 2);
    if (!line.endsWith('\n')) return drop(peer);
    line.chop(1);
    const std::string request = line.toStdString();

    std::optional<std::string> url;
    if (request.rfind(kOpenRequest, 0) == 0) {
        url = request.substr(std::string_view(kOpenRequest).size());
        if (incomingURLProblem(*url)) return drop(peer);
    } else if (request != kRaiseRequest) {
        return drop(peer);
    }
    if (auto* silence = peer->findChild<QTimer*>()) silence->stop();
    peer->write(QByteArray(kTakenAnswer) + "\n");
    peer->flush();
    peer->disconnectFromServer();
    if (m_hasHandlers) {
        deliverLater(std::move(url));
    } else {
        m_early.push_back(std::move(url));
    }
}

void InstanceChannel::setHandlers(Handlers handlers) {
    m_handlers = std::move(handlers);
    m_hasHandlers = true;
    for (std::optional<std::string>& url : m_early) deliverLater(std::move(url));
    m_early.clear();
}

void InstanceChannel::deliverLater(std::optional<std::string> url) {
    if (!m_server) return;
    // The later start has its answer before the app acts, so a dialog the
    // request opens never keeps that start waiting.
    QTimer::singleShot(0, m_server.get(), [this, url = std::move(url)] {
        if (url && m_handlers.open) m_handlers.open(*url);
        if (!url && m_handlers.raise) m_handlers.raise();
    });
}

}  // namespace qp
