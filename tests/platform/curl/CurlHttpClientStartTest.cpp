#include <gtest/gtest.h>

#include <atomic>

#include "RecordingObserver.h"
#include "platform/curl/CurlHttpClient.h"
#include "support/LocalHttpServer.h"
#include "support/ManualMainQueue.h"

using namespace qp;
using namespace std::chrono_literals;

namespace {

using Outline = std::vector<std::string>;

class CurlHttpClientStart : public ::testing::Test {
protected:
    void SetUp() override {
        auto& routes = m_server.routes();
        routes.Get("/chunks", [](const httplib::Request&, httplib::Response& res) {
            res.set_header("X-Kind", "pieces");
            res.set_chunked_content_provider(
                "application/octet-stream", [](size_t offset, httplib::DataSink& sink) {
                    static const std::string kPieces[] = {"alpha", "beta", "gamma"};
                    const std::size_t index = offset == 0 ? 0 : offset == 5 ? 1 : 2;
                    // Pauses keep the pieces apart on the wire.
                    if (offset > 0) std::this_thread::sleep_for(30ms);
                    sink.write(kPieces[index].data(), kPieces[index].size());
                    if (index == 2) sink.done();
                    return true;
                });
        });
        routes.Get("/stream", [this](const httplib::Request&, httplib::Response& res) {
            res.set_chunked_content_provider(
                "application/octet-stream", [this](size_t, httplib::DataSink& sink) {
                    // Endless until the client goes away or the test ends.
                    if (!sink.is_writable() || m_server.holdUntilReleased(5ms)) {
                        m_server.signal();
                        return false;
                    }
                    if (!sink.write("tick", 4)) {
                        m_server.signal();
                        return false;
                    }
                    return true;
                });
        });
        routes.Get("/slow", [this](const httplib::Request&, httplib::Response& res) {
            m_server.holdUntilReleased(10s);
            res.set_content("late", "text/plain");
        });
        routes.Get("/old", [](const httplib::Request&, httplib::Response& res) {
            res.set_redirect("/chunks", 301);
            res.set_content("moved", "text/plain");
        });
        routes.Post("/echo", [](const httplib::Request& req, httplib::Response& res) {
            res.status = 201;
            res.set_content(req.body, "application/octet-stream");
        });
        ASSERT_TRUE(m_server.start());
    }

    HttpRequest get(const std::string& path) {
        HttpRequest request;
        request.url = m_server.url(path);
        return request;
    }

    LocalHttpServer m_server;
    ManualMainQueue m_queue;
    CurlHttpClient m_client{m_queue};
    RecordingObserver m_observer{m_queue};
};

}  // namespace

TEST_F(CurlHttpClientStart, ReportsHeadersThenChunksThenTheEndOnTheMainThread) {
    auto task = m_client.start(get("/chunks"), &m_observer);
    EXPECT_TRUE(m_observer.events.empty());  // nothing arrives until the queue runs
    ASSERT_TRUE(m_queue.runUntil([&] { return m_observer.ended; }));

    EXPECT_EQ(m_observer.outline(), (Outline{"response 200", "data", "finish"}));
    EXPECT_GE(m_observer.chunks.size(), 2u);
    EXPECT_EQ(m_observer.body(), "alphabetagamma");
    ASSERT_TRUE(m_observer.response);
    EXPECT_EQ(m_observer.response->header("X-Kind"), "pieces");
    EXPECT_TRUE(m_observer.response->body.empty());
    EXPECT_FALSE(m_observer.offMainThread);
    EXPECT_TRUE(task->isFinished());
}

TEST_F(CurlHttpClientStart, ReportsOnlyTheResponseAtTheEndOfRedirects) {
    auto task = m_client.start(get("/old"), &m_observer);
    ASSERT_TRUE(m_queue.runUntil([&] { return m_observer.ended; }));
    EXPECT_EQ(m_observer.outline(), (Outline{"response 200", "data", "finish"}));
    EXPECT_EQ(m_observer.response->url, m_server.url("/chunks"));
    EXPECT_EQ(m_observer.body(), "alphabetagamma");
}

TEST_F(CurlHttpClientStart, PostsABodyAndReportsAnEmptyAnswer) {
    HttpRequest request = get("/echo");
    request.method = "POST";
    request.body = "payload";
    auto task = m_client.start(request, &m_observer);
    ASSERT_TRUE(m_queue.runUntil([&] { return m_observer.ended; }));
    EXPECT_EQ(m_observer.outline(), (Outline{"response 201", "data", "finish"}));
    EXPECT_EQ(m_observer.body(), "payload");
}

TEST_F(CurlHttpClientStart, TransportFailuresEndWithDidFailOnly) {
    HttpRequest slow = get("/slow");
    slow.timeout = 150ms;
    HttpRequest unsupported;
    unsupported.url = "gopher://127.0.0.1/";
    const struct {
        HttpRequest request;
        HttpErrorCode code;
    } cases[] = {{slow, HttpErrorCode::TimedOut}, {unsupported, HttpErrorCode::UnsupportedURL}};
    for (const auto& c : cases) {
        RecordingObserver observer(m_queue);
        auto task = m_client.start(c.request, &observer);
        ASSERT_TRUE(m_queue.runUntil([&] { return observer.ended; })) << c.request.url;
        EXPECT_EQ(observer.events, (Outline{"fail " + std::to_string(static_cast<int>(c.code))}));
        EXPECT_EQ(observer.error->domain(), kHttpErrorDomain);
        EXPECT_TRUE(task->isFinished());
    }
}

TEST_F(CurlHttpClientStart, NothingArrivesAfterCancelAndTheTransferStops) {
    int hangUps = 0;
    for (const bool destroyInsteadOfCancel : {false, true}) {
        RecordingObserver observer(m_queue);
        auto task = m_client.start(get("/stream"), &observer);
        ASSERT_TRUE(m_queue.runUntil([&] { return observer.chunks.size() >= 2; }));
        // The worker keeps posting chunks; let some pile up unrun.
        ASSERT_TRUE(m_queue.waitForPosts(3));
        const std::size_t seen = observer.events.size();
        if (destroyInsteadOfCancel) {
            task.reset();
        } else {
            task->cancel();
            EXPECT_TRUE(task->isFinished());
        }
        m_queue.runPending();
        EXPECT_EQ(observer.events.size(), seen);
        EXPECT_FALSE(observer.ended);
        // The server sees the client hang up long before the test ends.
        EXPECT_TRUE(m_server.waitForSignals(++hangUps, 5s));
    }
}

TEST_F(CurlHttpClientStart, CancelBeforeAnyEventAndFromInsideAnEvent) {
    auto early = m_client.start(get("/chunks"), &m_observer);
    early->cancel();
    EXPECT_TRUE(early->isFinished());
    early.reset();
    m_queue.runPending();
    EXPECT_TRUE(m_observer.events.empty());

    // An observer that cancels on the first chunk hears nothing more.
    struct Canceller : RecordingObserver {
        using RecordingObserver::RecordingObserver;
        void didReceiveData(const std::string& chunk) override {
            RecordingObserver::didReceiveData(chunk);
            if (task) task->cancel();
        }
        HttpTask* task = nullptr;
    } canceller(m_queue);
    auto task = m_client.start(get("/stream"), &canceller);
    canceller.task = task.get();
    ASSERT_TRUE(m_queue.runUntil([&] { return !canceller.chunks.empty(); }));
    ASSERT_TRUE(m_server.waitForSignals(1, 5s));
    task.reset();
    m_queue.runPending();
    EXPECT_EQ(canceller.outline(), (Outline{"response 200", "data"}));
    EXPECT_EQ(canceller.chunks.size(), 1u);
}

TEST_F(CurlHttpClientStart, TaskMayOutliveItsClient) {
    auto client = std::make_unique<CurlHttpClient>(m_queue);
    auto task = client->start(get("/chunks"), &m_observer);
    client.reset();
    ASSERT_TRUE(m_queue.runUntil([&] { return m_observer.ended; }));
    EXPECT_EQ(m_observer.body(), "alphabetagamma");
}
