// The service over real HTTP on 127.0.0.1: answers, what reaches the store,
// sessions posted from many connections at once, and a stop that lets the
// report being stored finish.

#include <gtest/gtest.h>

#include <httplib.h>

#include <condition_variable>
#include <future>
#include <thread>

#include <sqlite3.h>

#include "service/ReportIngestServer.h"
#include "service/ServiceSamples.h"
#include "service/SqliteStore.h"
#include "support/TempFolder.h"

using namespace qp;
using namespace qp::test;

namespace {

// A server on a free port, serving on its own thread for the test's life.
class RunningServer {
public:
    explicit RunningServer(AnalyticsStore& store) : m_server(store) {
        m_port = m_server.bind("127.0.0.1", 0).value();
        m_thread = std::thread([this] { m_listened = m_server.listen(); });
        while (!m_server.isRunning()) std::this_thread::yield();
    }
    ~RunningServer() { stop(); }

    bool stop() {
        if (m_thread.joinable()) {
            m_server.stop();
            m_thread.join();
        }
        return m_listened;
    }

    httplib::Client client() const {
        httplib::Client client("127.0.0.1", m_port);
        client.set_read_timeout(10, 0);
        return client;
    }
    httplib::Result post(const std::string& body,
                         const std::string& type = kReportContentType) const {
        return client().Post(kReportPath, body, type.c_str());
    }

    ReportIngestServer& server() { return m_server; }

private:
    ReportIngestServer m_server;
    int m_port = 0;
    std::thread m_thread;
    bool m_listened = false;
};

class IngestServerTest : public ::testing::Test {
protected:
    TempFolder folder;
    std::unique_ptr<SqliteStore> store = SqliteStore::open(folder.path() / "db.sqlite").value();
    RunningServer running{*store};

    std::int64_t storedSessions() { return store->figures().value().sessions; }
};

// Holds every report until released, then passes it on.
class GateStore final : public AnalyticsStore {
public:
    explicit GateStore(AnalyticsStore& inner) : m_inner(inner) {}
    Result<StoreOutcome> storeReport(const PreparedReport& report) override {
        std::unique_lock lock(m_mutex);
        m_arrived = true;
        m_changed.notify_all();
        m_changed.wait(lock, [this] { return m_open; });
        return m_inner.storeReport(report);
    }
    Result<UsageFigures> figures() override { return m_inner.figures(); }
    Result<std::optional<SessionRecord>> session(const std::string& id) override {
        return m_inner.session(id);
    }
    void waitForArrival() {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_arrived; });
    }
    void open() {
        std::lock_guard lock(m_mutex);
        m_open = true;
        m_changed.notify_all();
    }

private:
    AnalyticsStore& m_inner;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_arrived = false;
    bool m_open = false;
};

}  // namespace

TEST_F(IngestServerTest, StoresAReportAndAnswersOk) {
    const httplib::Result answer = running.post(reportBytes({session("a", 2), session("b")}));
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, 200);
    EXPECT_EQ(answer->body, "stored 2 new, 0 fuller, kept 0 as they were\n");
    EXPECT_EQ(storedSessions(), 2);
    // A charset or other parameter on the type is fine.
    const httplib::Result again =
        running.post(reportBytes({session("a", 2)}), "Application/Octet-Stream; x=1");
    ASSERT_TRUE(again);
    EXPECT_EQ(again->status, 200);
    EXPECT_EQ(again->body, "stored 0 new, 0 fuller, kept 1 as they were\n");
}

TEST_F(IngestServerTest, BadReportsGetAFourHundredAndLeaveTheStoreUntouched) {
    ASSERT_EQ(running.post(reportBytes({session("kept", 1)}))->status, 200);
    std::string wrongCrc = reportBytes({session("a", 1)});
    wrongCrc.back() = static_cast<char>(wrongCrc.back() ^ 0xff);
    std::string wrongVersion = reportBytes({session("a", 1)});
    wrongVersion[0] = 9;
    struct Case {
        const char* what;
        std::string body;
        std::string type;
        int status;
    };
    const std::vector<Case> cases = {
        {"truncated", reportBytes({session("a", 1)}).substr(0, 20), kReportContentType, 400},
        {"wrong CRC", wrongCrc, kReportContentType, 400},
        {"wrong version", withFreshChecksum(wrongVersion), kReportContentType, 400},
        {"random", std::string(64, '\x5a'), kReportContentType, 400},
        {"oversized", std::string(kMaxReportBytes + 1, '\0'), kReportContentType, 413},
        {"not octets", reportBytes({session("a", 1)}), "application/json", 415},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const httplib::Result answer = running.post(c.body, c.type);
        ASSERT_TRUE(answer);
        EXPECT_EQ(answer->status, c.status);
        if (c.status != 413) {
            // One line that says why.
            ASSERT_FALSE(answer->body.empty());
            EXPECT_EQ(answer->body.find('\n'), answer->body.size() - 1) << answer->body;
        }
    }
    EXPECT_EQ(storedSessions(), 1);
    EXPECT_FALSE(store->session("a").value());
    EXPECT_EQ(running.client().Get(kReportPath)->status, 404);
}

TEST_F(IngestServerTest, CopiesOfOneSessionFromManyConnectionsMakeOneRecord) {
    constexpr int kSenders = 6;
    const SessionRecord fullest = session("shared", kSenders, kDecemberFirst + 99);
    std::vector<std::future<int>> answers;
    for (int i = 1; i <= kSenders; ++i) {
        // Every sender posts a different copy; the last is the fullest.
        const SessionRecord copy = i == kSenders ? fullest : session("shared", i, std::nullopt);
        answers.push_back(std::async(std::launch::async, [this, copy, i] {
            const httplib::Result answer =
                running.post(reportBytes({copy, session("own" + std::to_string(i))}));
            return answer ? answer->status : -1;
        }));
    }
    for (auto& answer : answers) EXPECT_EQ(answer.get(), 200);
    EXPECT_EQ(storedSessions(), 1 + kSenders);
    EXPECT_EQ(store->session("shared").value(), fullest);
}

TEST(IngestServerStore, AStoreThatCannotWriteAnswersServiceUnavailable) {
    TempFolder folder;
    const std::filesystem::path file = folder.path() / "db.sqlite";
    SqliteStore::Options impatient;
    impatient.busyTimeout = std::chrono::milliseconds(0);
    auto store = SqliteStore::open(file, impatient).value();
    RunningServer running(*store);
    // Another program holds the write lock past the store's patience.
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    const httplib::Result answer = running.post(reportBytes({session("y")}));
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, 503);
    EXPECT_NE(answer->body.find("locked"), std::string::npos) << answer->body;
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_FALSE(store->session("y").value());
    // The sender keeps the session and the next send stores it.
    EXPECT_EQ(running.post(reportBytes({session("y")}))->status, 200);
}

TEST(IngestServerStop, LetsTheReportBeingStoredFinish) {
    TempFolder folder;
    auto store = SqliteStore::open(folder.path() / "db.sqlite").value();
    GateStore gate(*store);
    RunningServer running(gate);
    auto answer = std::async(std::launch::async, [&running] {
        const httplib::Result result = running.post(reportBytes({session("late", 1)}));
        return result ? result->status : -1;
    });
    gate.waitForArrival();
    // Stop while the report waits in the store; it must still be answered.
    auto stopped = std::async(std::launch::async, [&running] { return running.stop(); });
    gate.open();
    EXPECT_EQ(answer.get(), 200);
    EXPECT_TRUE(stopped.get());
    EXPECT_TRUE(store->session("late").value());
}
