// The channel that keeps one windowed app per home: requests from later
// starts, peers that misbehave, sockets left by a crashed app.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLocalSocket>
#include <QTimer>

#include <filesystem>
#include <functional>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "platform/IncomingURL.h"
#include "platform/qt/InstanceChannel.h"
#include "support/TempFolder.h"

using namespace qp;
namespace fs = std::filesystem;

namespace {

constexpr int kFailsafeMs = 5000;
const std::string kLoginURL = "fb000000000000000://authorize/#access_token=T0KEN&expires_in=60";

// What the running app was asked to do.
struct Requests {
    std::vector<std::string> opened;
    int raised = 0;
};

class InstanceChannelTest : public ::testing::Test {
protected:
    fs::path socketFor(const std::string& home) {
        return InstanceChannel::socketPath(m_folder.path(), m_folder.path() / home);
    }
    // A running app on `socket` that records what it is asked and ends
    // `loop` at each request.
    std::unique_ptr<InstanceChannel> runningApp(
        const fs::path& socket, std::chrono::milliseconds silence = kInstanceSilenceLimit) {
        auto app = std::make_unique<InstanceChannel>(socket, silence);
        Result<InstanceChannel::Claim> claimed = app->claim("");
        EXPECT_TRUE(claimed.ok()) << claimed.error().description();
        EXPECT_EQ(claimed.valueOr(InstanceChannel::Claim::Forwarded),
                  InstanceChannel::Claim::Owner);
        app->setHandlers({[this](const std::string& url) {
                              m_requests.opened.push_back(url);
                              m_loop.quit();
                          },
                          [this] {
                              ++m_requests.raised;
                              m_loop.quit();
                          }});
        return app;
    }
    // Runs the event loop until something quits it; false when only the
    // failsafe did.
    bool runLoop() {
        bool timedOut = false;
        QTimer failsafe;
        failsafe.setSingleShot(true);
        QObject::connect(&failsafe, &QTimer::timeout, [&] {
            timedOut = true;
            m_loop.quit();
        });
        failsafe.start(kFailsafeMs);
        m_loop.exec();
        return !timedOut;
    }
    // Sends `bytes` as a peer would and waits until the app hangs up;
    // answers what the app said back.
    std::string sendAndAwaitHangUp(const fs::path& socket, const QByteArray& bytes) {
        QLocalSocket peer;
        QByteArray answer;
        QObject::connect(&peer, &QLocalSocket::readyRead, [&] { answer += peer.readAll(); });
        QObject::connect(&peer, &QLocalSocket::disconnected, &m_loop, &QEventLoop::quit);
        peer.connectToServer(QString::fromStdString(socket.string()));
        EXPECT_TRUE(peer.waitForConnected(kFailsafeMs));
        if (!bytes.isEmpty()) peer.write(bytes);
        EXPECT_TRUE(runLoop()) << "the app never hung up";
        answer += peer.readAll();
        return answer.toStdString();
    }

    TempFolder m_folder;
    QEventLoop m_loop;
    Requests m_requests;
};

}  // namespace

TEST_F(InstanceChannelTest, SocketIsNamedAfterTheHomeAndOwnedByTheUserAlone) {
    EXPECT_EQ(socketFor("home"), socketFor("home/"));
    EXPECT_EQ(socketFor("home"), socketFor("other/../home"));
    EXPECT_NE(socketFor("home"), socketFor("home2"));
    EXPECT_EQ(socketFor("home").parent_path(), m_folder.path());
    // Short enough for any runtime folder's path to fit a socket address.
    EXPECT_LE(socketFor("home").filename().string().size(), 30u);

    auto app = runningApp(socketFor("home"));
    struct stat info {};
    ASSERT_EQ(::stat(socketFor("home").c_str(), &info), 0);
    EXPECT_TRUE(S_ISSOCK(info.st_mode));
    EXPECT_EQ(info.st_mode & 077, 0u) << std::oct << info.st_mode;
    // Another home has its own app.
    auto other = runningApp(socketFor("home2"));
    EXPECT_TRUE(other->isListening());
}

TEST_F(InstanceChannelTest, RequestsReachTheRunningAppAfterTheAnswer) {
    auto app = runningApp(socketFor("home"));
    EXPECT_EQ(sendAndAwaitHangUp(socketFor("home"),
                                 QByteArray::fromStdString("open " + kLoginURL + "\n")),
              "ok\n");
    if (m_requests.opened.empty()) runLoop();
    EXPECT_EQ(m_requests.opened, std::vector<std::string>{kLoginURL});

    EXPECT_EQ(sendAndAwaitHangUp(socketFor("home"), "raise\n"), "ok\n");
    if (m_requests.raised == 0) runLoop();
    EXPECT_EQ(m_requests.raised, 1);
}

TEST_F(InstanceChannelTest, RequestsBeforeTheAppIsReadyWaitForIt) {
    InstanceChannel app(socketFor("home"));
    ASSERT_TRUE(app.claim("").ok());
    EXPECT_EQ(sendAndAwaitHangUp(socketFor("home"), "raise\n"), "ok\n");
    EXPECT_EQ(sendAndAwaitHangUp(socketFor("home"),
                                 QByteArray::fromStdString("open " + kLoginURL + "\n")),
              "ok\n");
    std::vector<std::string> order;
    app.setHandlers({[&](const std::string& url) {
                         order.push_back(url);
                         m_loop.quit();
                     },
                     [&] { order.push_back("raise"); }});
    EXPECT_TRUE(runLoop());
    EXPECT_EQ(order, (std::vector<std::string>{"raise", kLoginURL}));
}

TEST_F(InstanceChannelTest, ALaterStartHandsItsURLOverAndEnds) {
    auto app = runningApp(socketFor("home"));
    // The later start blocks while it waits for the answer, as its own
    // process would; here it waits on a thread of its own.
    std::future<Result<InstanceChannel::Claim>> later = std::async(std::launch::async, [&] {
        InstanceChannel start(socketFor("home"));
        return start.claim(kLoginURL);
    });
    EXPECT_TRUE(runLoop());
    const Result<InstanceChannel::Claim> claimed = later.get();
    ASSERT_TRUE(claimed.ok()) << claimed.error().description();
    EXPECT_EQ(claimed.value(), InstanceChannel::Claim::Forwarded);
    EXPECT_EQ(m_requests.opened, std::vector<std::string>{kLoginURL});
}

TEST_F(InstanceChannelTest, SilentPeerIsDroppedAfterTheLimitWithoutEffect) {
    auto app = runningApp(socketFor("home"), std::chrono::milliseconds(100));
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(sendAndAwaitHangUp(socketFor("home"), {}), "");
    // Dropped by the limit, not at once (timers may fire a little early).
    EXPECT_GE(clock.elapsed(), 50);
    // Half a request, then nothing: the same.
    EXPECT_EQ(sendAndAwaitHangUp(socketFor("home"), "open fb1://auth"), "");
    QCoreApplication::processEvents();
    EXPECT_TRUE(m_requests.opened.empty());
    EXPECT_EQ(m_requests.raised, 0);
}

TEST_F(InstanceChannelTest, GarbageIsDroppedWithoutEffectAndTheAppListensOn) {
    auto app = runningApp(socketFor("home"));
    const std::vector<QByteArray> garbage = {
        "hello\n",
        "RAISE\n",
        "raise now\n",
        "open\n",
        "open authorize/#access_token=x\n",
        "open fb1://a\x01"
        "b\n",
        QByteArray("open fb1://a\0b\n", 15),
        "open fb1://" + QByteArray(int(kMaxIncomingURLLength), 'a') + "\n",
        QByteArray(int(kMaxIncomingURLLength) + 100, 'x'),
        QByteArray("\xff\xfe\x00\x01\n", 5),
    };
    for (const QByteArray& bytes : garbage) {
        SCOPED_TRACE(bytes.left(40).toStdString());
        EXPECT_EQ(sendAndAwaitHangUp(socketFor("home"), bytes), "");
    }
    QCoreApplication::processEvents();
    EXPECT_TRUE(m_requests.opened.empty());
    EXPECT_EQ(m_requests.raised, 0);
    EXPECT_EQ(sendAndAwaitHangUp(socketFor("home"), "raise\n"), "ok\n");
}

TEST_F(InstanceChannelTest, SocketLeftByACrashedAppIsCleanedUp) {
    // A socket file that nobody listens on any more, as a killed app leaves.
    const fs::path socket = socketFor("home");
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socket.c_str());
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
    ASSERT_TRUE(fs::exists(socket));

    auto app = runningApp(socket);
    EXPECT_TRUE(app->isListening());
    EXPECT_EQ(sendAndAwaitHangUp(socket, "raise\n"), "ok\n");
}
