// `quillpost analytics serve` and `report` as a user runs them, and the whole
// road: headless app runs report to a service the test starts, and the
// report command counts what arrived.

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sqlite3.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QImage>

#include <fstream>
#include <set>
#include <sstream>

#include "cli/AnalyticsReportText.h"
#include "json/JsonConveniences.h"
#include "service/PostgresServer.h"
#include "service/ServiceSamples.h"
#include "service/SqliteStore.h"
#include "support/ChildProcess.h"
#include "support/TempFolder.h"

using namespace qp;
using namespace qp::test;
namespace fs = std::filesystem;

namespace {

const fs::path kQuillpost = QP_QUILLPOST_EXECUTABLE;
const std::vector<std::string> kDeviceEvents = {
    "1-Device:", "2-iOS:", "3-Device Class:", "4-iOS Class:"};

// `quillpost analytics serve` running in the background: its first line on
// standard output says where it listens.
class ServeProcess {
public:
    ServeProcess(const std::vector<std::string>& arguments,
                 const std::map<std::string, std::optional<std::string>>& environment,
                 const fs::path& errFile) {
        int out[2];
        if (pipe(out) != 0) return;
        std::vector<std::string> words{kQuillpost.string(), "analytics", "serve"};
        words.insert(words.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (std::string& word : words) argv.push_back(word.data());
        argv.push_back(nullptr);
        std::vector<std::string> variables;
        for (char** entry = environ; *entry; ++entry) {
            const std::string variable = *entry;
            if (!environment.count(variable.substr(0, variable.find('='))))
                variables.push_back(variable);
        }
        for (const auto& [name, value] : environment) {
            if (value) variables.push_back(name + "=" + *value);
        }
        std::vector<char*> envp;
        for (std::string& variable : variables) envp.push_back(variable.data());
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        if (posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        m_out = out[0];
    }
    ~ServeProcess() {
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
        if (m_out >= 0) close(m_out);
    }

    // The next line on standard output, waiting at most `seconds`.
    std::string readLine(int seconds = 30) {
        std::string line;
        char c = 0;
        pollfd ready{m_out, POLLIN, 0};
        while (poll(&ready, 1, seconds * 1000) > 0 && read(m_out, &c, 1) == 1 && c != '\n')
            line += c;
        return line;
    }

    // Sends `signal` and answers the exit status.
    int stop(int signal) {
        kill(m_pid, signal);
        int status = 0;
        waitpid(m_pid, &status, 0);
        m_pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

private:
    pid_t m_pid = -1;
    int m_out = -1;
};

class AnalyticsCommand : public ::testing::Test {
protected:
    ProcessOutcome run(const std::vector<std::string>& arguments) {
        return runProcess(kQuillpost, arguments, environment());
    }
    std::map<std::string, std::optional<std::string>> environment() const {
        return {{"XDG_DATA_HOME", (folder.path() / "data").string()},
                {"XDG_CONFIG_HOME", (folder.path() / "config").string()},
                {"QUILLPOST_RESOURCES", QP_RESOURCES},
                {"QUILLPOST_PHOTO_LIBRARY", folder.path().string()},
                {"QT_QPA_PLATFORM", "offscreen"}};
    }
    std::string db() const { return "sqlite:" + database.string(); }

    TempFolder folder;
    fs::path database = folder.path() / "analytics.sqlite";
};

std::optional<JsonValue> jsonOf(const std::string& text) {
    return JSONValue(text);
}

std::int64_t integerAt(const JsonValue& json, const char* key) {
    const JsonValue* value = json.find(key);
    return value && value->number() ? value->number()->toInt64().value_or(-1) : -1;
}

}  // namespace

TEST_F(AnalyticsCommand, FiveHeadlessRunsLeaveFiveSessionsEachWithItsDeviceEvents) {
    ServeProcess serve({"--listen", "127.0.0.1:0", "--db", db()}, environment(),
                       folder.path() / "serve.err");
    const std::string listening = serve.readLine();
    const std::string prefix = "Listening on http://127.0.0.1:";
    ASSERT_EQ(listening.rfind(prefix, 0), 0u) << listening;
    const std::string url =
        "http://127.0.0.1:" +
        listening.substr(prefix.size(), listening.find('/', prefix.size()) - prefix.size()) +
        "/report";

    constexpr int kRuns = 5;
    for (int i = 0; i < kRuns; ++i) {
        auto env = environment();
        env["QUILLPOST_HOME"] = (folder.path() / "home").string();
        env["QUILLPOST_ANALYTICS_REPORT_URL"] = url;
        const ProcessOutcome app = runProcess(kQuillpost, {"--headless"}, env);
        ASSERT_EQ(app.status, 0) << app.err;
    }
    EXPECT_EQ(serve.stop(SIGTERM), 0);
    EXPECT_NE(serve.readLine().find("Stopped"), std::string::npos);
    // The senders' address is kept nowhere: not in the store (whose log a
    // clean stop has folded into the file), not in the service's log.
    const auto contents = [](const fs::path& file) {
        std::ostringstream text;
        text << std::ifstream(file, std::ios::binary).rdbuf();
        return text.str();
    };
    EXPECT_FALSE(fs::exists(database.string() + "-wal"));
    EXPECT_EQ(contents(database).find("127.0.0.1"), std::string::npos);
    EXPECT_EQ(contents(folder.path() / "serve.err").find("127.0.0.1"), std::string::npos);

    auto store = SqliteStore::open(database).value();
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(database.c_str(), &raw), SQLITE_OK);
    sqlite3_stmt* ids = nullptr;
    sqlite3_prepare_v2(raw, "SELECT session_id FROM sessions", -1, &ids, nullptr);
    int sessions = 0;
    std::int64_t events = 0;
    while (sqlite3_step(ids) == SQLITE_ROW) {
        ++sessions;
        const std::string id = reinterpret_cast<const char*>(sqlite3_column_text(ids, 0));
        const SessionRecord record = store->session(id).value().value();
        std::set<std::string> names;
        for (const EventRecord& event : record.events) names.insert(event.name);
        for (const std::string& name : kDeviceEvents) EXPECT_TRUE(names.count(name)) << name;
        for (const auto& [name, count] : record.eventCounts) events += count;
    }
    sqlite3_finalize(ids);
    sqlite3_close(raw);
    EXPECT_EQ(sessions, kRuns);

    const ProcessOutcome report = run({"analytics", "report", "--json", "--db", db()});
    ASSERT_EQ(report.status, 0) << report.err;
    const std::optional<JsonValue> json = jsonOf(report.out);
    ASSERT_TRUE(json) << report.out;
    EXPECT_EQ(integerAt(*json, "sessions"), kRuns);
    EXPECT_EQ(integerAt(*json, "events"), events);
    const JsonValue* top = json->find("top_events");
    ASSERT_TRUE(top && top->array());
    std::set<std::string> topNames;
    for (const JsonValue& entry : *top->array()) {
        topNames.insert(*entry.find("name")->string());
        EXPECT_EQ(integerAt(entry, "count") % kRuns, 0);  // the same events in every run
    }
    for (const std::string& name : kDeviceEvents) EXPECT_TRUE(topNames.count(name)) << name;
    const JsonValue* classes = json->find("device_classes");
    ASSERT_TRUE(classes && classes->array() && classes->array()->size() == 1) << report.out;
    EXPECT_EQ(integerAt(classes->array()->front(), "sessions"), kRuns);
}

TEST_F(AnalyticsCommand, ServesAndReportsOnPostgresqlWithoutShowingThePassword) {
    std::string skipReason, error;
    PostgresServer* server = sharedPostgresServer(skipReason, error);
    if (!skipReason.empty()) GTEST_SKIP() << "No PostgreSQL here: " << skipReason;
    ASSERT_TRUE(server) << "The PostgreSQL server did not start: " << error;
    const std::string plain = server->createDatabase(error);
    const std::string empty = server->createDatabase(error);
    ASSERT_FALSE(plain.empty() || empty.empty()) << error;
    // The test server trusts every local user; the password only has to stay unseen.
    const std::string prefix = "postgresql://postgres";
    const std::string withPassword = prefix + ":hunter2" + plain.substr(prefix.size());

    ServeProcess serve({"--listen", "127.0.0.1:0", "--db", withPassword}, environment(),
                       folder.path() / "serve.err");
    const std::string listening = serve.readLine();
    EXPECT_NE(listening.find("storing in " + plain), std::string::npos) << listening;
    EXPECT_EQ(listening.find("hunter2"), std::string::npos) << listening;
    const std::size_t port = listening.find("127.0.0.1:") + 10;
    const std::string url =
        "http://127.0.0.1:" + listening.substr(port, listening.find('/', port) - port) + "/report";
    constexpr int kRuns = 2;
    for (int i = 0; i < kRuns; ++i) {
        auto env = environment();
        env["QUILLPOST_HOME"] = (folder.path() / "home").string();
        env["QUILLPOST_ANALYTICS_REPORT_URL"] = url;
        const ProcessOutcome app = runProcess(kQuillpost, {"--headless"}, env);
        ASSERT_EQ(app.status, 0) << app.err;
    }
    EXPECT_EQ(serve.stop(SIGTERM), 0);

    const ProcessOutcome report = run({"analytics", "report", "--json", "--db", withPassword});
    ASSERT_EQ(report.status, 0) << report.err;
    const std::optional<JsonValue> json = jsonOf(report.out);
    ASSERT_TRUE(json) << report.out;
    EXPECT_EQ(integerAt(*json, "sessions"), kRuns);
    // A database no service has laid out yet is not read as empty.
    const ProcessOutcome unready = run({"analytics", "report", "--db", empty});
    EXPECT_EQ(unready.status, 1);
    EXPECT_NE(unready.err.find("analytics serve"), std::string::npos) << unready.err;
}

TEST_F(AnalyticsCommand, ReportPrintsTablesAndDrawsTheChart) {
    {
        auto store = SqliteStore::open(database).value();
        SessionRecord record = session("a", 2);
        addDeviceEvents(record, "iPad", "16.1");
        ASSERT_TRUE(store->storeReport(prepared({record, session("b", 1)})).ok());
    }
    const fs::path chart = folder.path() / "chart.png";
    const ProcessOutcome report =
        run({"analytics", "report", "--db", db(), "--chart", chart.string()});
    ASSERT_EQ(report.status, 0) << report.err;
    EXPECT_EQ(report.out.rfind("Sessions: 2\nEvents:   7\n", 0), 0u) << report.out;
    EXPECT_NE(report.out.find("Device classes"), std::string::npos);
    EXPECT_NE(report.out.find("  iPad         1\n"), std::string::npos) << report.out;
    EXPECT_FALSE(QImage(QString::fromStdString(chart.string())).isNull());
}

TEST_F(AnalyticsCommand, MisuseExitsTwoAndUnusableStoresExitOne) {
    std::ofstream(folder.path() / "garbage.sqlite") << std::string(2048, 'g');
    const std::string garbage = "sqlite:" + (folder.path() / "garbage.sqlite").string();
    struct Case {
        std::vector<std::string> arguments;
        int status;
        std::string saysOnStderr;
    };
    const std::vector<Case> cases = {
        {{"analytics"}, 2, "analytics"},
        {{"analytics", "serve", "--listen", "localhost"}, 2, "HOST:PORT"},
        {{"analytics", "serve", "--listen", "127.0.0.1:70000"}, 2, "HOST:PORT"},
        {{"analytics", "report", "--db", "mysql://x"}, 2, "sqlite:PATH"},
        {{"analytics", "report", "--db", "sqlite:/no/such.sqlite"}, 1, "No analytics database"},
        {{"analytics", "report", "--db", garbage}, 1, "not a database"},
        {{"analytics", "serve", "--db", garbage}, 1, "not a database"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.back());
        const ProcessOutcome outcome = run(c.arguments);
        EXPECT_EQ(outcome.status, c.status) << outcome.err;
        EXPECT_NE(outcome.err.find(c.saysOnStderr), std::string::npos) << outcome.err;
    }
}

TEST_F(AnalyticsCommand, ServeStopsOnInterruptAndUsesTheDataFolderByDefault) {
    ServeProcess serve({"--listen", "127.0.0.1:0"}, environment(), folder.path() / "serve.err");
    const std::string listening = serve.readLine();
    EXPECT_NE(listening.find((folder.path() / "data" / "quillpost" / "analytics.sqlite").string()),
              std::string::npos)
        << listening;
    EXPECT_EQ(serve.stop(SIGINT), 0);
}

TEST_F(AnalyticsCommand, ASenderThatHangsUpBeforeItsAnswerDoesNotStopTheService) {
    ServeProcess serve({"--listen", "127.0.0.1:0", "--db", db()}, environment(),
                       folder.path() / "serve.err");
    const std::string listening = serve.readLine();
    const std::string prefix = "Listening on http://127.0.0.1:";
    ASSERT_EQ(listening.rfind(prefix, 0), 0u) << listening;
    const int port = std::stoi(listening.substr(prefix.size()));

    for (int i = 0; i < 3; ++i) {
        // A whole report, then gone (the first time with a reset) before the answer.
        const std::string body = reportBytes({session("gone" + std::to_string(i), 2)});
        const std::string request =
            "POST /report HTTP/1.1\r\nHost: 127.0.0.1\r\n"
            "Content-Type: application/octet-stream\r\n"
            "Content-Length: " +
            std::to_string(body.size()) + "\r\n\r\n" + body;
        const int fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ASSERT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ASSERT_EQ(write(fd, request.data(), request.size()), static_cast<ssize_t>(request.size()));
        if (i == 0) {
            const linger reset{1, 0};
            setsockopt(fd, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
        }
        close(fd);
    }
    // Still serving: a report after them is answered and stored.
    const ProcessOutcome app = [&] {
        auto env = environment();
        env["QUILLPOST_HOME"] = (folder.path() / "home").string();
        env["QUILLPOST_ANALYTICS_REPORT_URL"] =
            "http://127.0.0.1:" + std::to_string(port) + "/report";
        return runProcess(kQuillpost, {"--headless"}, env);
    }();
    EXPECT_EQ(app.status, 0) << app.err;
    EXPECT_EQ(serve.stop(SIGTERM), 0);
    const ProcessOutcome report = run({"analytics", "report", "--json", "--db", db()});
    const std::optional<JsonValue> json = jsonOf(report.out);
    ASSERT_TRUE(json) << report.out << report.err;
    EXPECT_GE(integerAt(*json, "sessions"), 1);
}

TEST_F(AnalyticsCommand, WithUsageReportsOffTheAppSendsNothingAndDeletesWhatItKept) {
    const fs::path home = folder.path() / "home";
    const fs::path usageFiles = home / "Library" / "UsageFiles";
    auto env = environment();
    env["QUILLPOST_HOME"] = home.string();
    // No report address: the sessions stay on the device.
    ASSERT_EQ(runProcess(kQuillpost, {"--headless"}, env).status, 0);
    ASSERT_TRUE(fs::exists(usageFiles) && !fs::is_empty(usageFiles));

    ServeProcess serve({"--listen", "127.0.0.1:0", "--db", db()}, environment(),
                       folder.path() / "serve.err");
    const std::string listening = serve.readLine();
    const std::string prefix = "Listening on ";
    ASSERT_EQ(listening.rfind(prefix, 0), 0u) << listening;
    env["QUILLPOST_ANALYTICS_REPORT_URL"] =
        listening.substr(prefix.size(), listening.find(',') - prefix.size());
    env["QUILLPOST_ANALYTICS_ENABLED"] = "false";
    const ProcessOutcome off = runProcess(kQuillpost, {"--headless"}, env);
    ASSERT_EQ(off.status, 0) << off.err;
    EXPECT_FALSE(fs::exists(usageFiles));
    EXPECT_EQ(serve.stop(SIGTERM), 0);
    const ProcessOutcome report = run({"analytics", "report", "--json", "--db", db()});
    const std::optional<JsonValue> json = jsonOf(report.out);
    ASSERT_TRUE(json) << report.out << report.err;
    EXPECT_EQ(integerAt(*json, "sessions"), 0);

    // A value that is neither true nor false is refused, naming the key.
    env["QUILLPOST_ANALYTICS_ENABLED"] = "no";
    const ProcessOutcome wrong = runProcess(kQuillpost, {"--headless"}, env);
    EXPECT_EQ(wrong.status, 1);
    EXPECT_NE(wrong.err.find("analytics_enabled"), std::string::npos) << wrong.err;
}

TEST(AnalyticsReportText, TablesLineUpAndEscapeControlCharacters) {
    UsageFigures figures;
    figures.sessions = 5;
    figures.sessionsPerDay = {{"2026-12-01", 2}, {"2026-12-03", 3}};
    figures.deviceClasses = {{"iPad", 4}, {"\x1b]0;pwned\x07", 1}};
    const std::string text = usageFiguresText(figures);
    EXPECT_NE(text.find("Sessions: 5\n"), std::string::npos);
    EXPECT_NE(text.find("  2026-12-03         3\n"), std::string::npos) << text;
    EXPECT_EQ(text.find('\x1b'), std::string::npos);
    EXPECT_NE(text.find("\\e]0;pwned"), std::string::npos) << text;
    EXPECT_NE(text.find("Top events\n  (none)\n"), std::string::npos) << text;
}
