#include "service/PostgresServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <libpq-fe.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>

#include "support/ChildProcess.h"

namespace qp::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kServerUser = "postgres";
constexpr const char* kRunuser = "/usr/sbin/runuser";
constexpr const char* kDebianServerFolders = "/usr/lib/postgresql";
constexpr int kStartAttempts = 3;

int freePort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        port = ntohs(address.sin_port);
    }
    close(fd);
    return port;
}

std::string tail(const fs::path& file) {
    std::ifstream in(file);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return text.size() > 2000 ? text.substr(text.size() - 2000) : text;
}

}  // namespace

std::optional<fs::path> PostgresServer::findBinaries(std::string& whyNot) {
    if (const char* given = std::getenv("QP_POSTGRES_BIN"); given && *given) {
        if (fs::exists(fs::path(given) / "pg_ctl")) return fs::path(given);
        whyNot = std::string("QP_POSTGRES_BIN=") + given + " holds no pg_ctl";
        return std::nullopt;
    }
    std::error_code ec;
    std::vector<fs::path> found;
    for (const fs::directory_entry& entry : fs::directory_iterator(kDebianServerFolders, ec)) {
        if (fs::exists(entry.path() / "bin" / "pg_ctl") &&
            fs::exists(entry.path() / "bin" / "initdb"))
            found.push_back(entry.path() / "bin");
    }
    if (found.empty()) {
        whyNot = std::string("no PostgreSQL server under ") + kDebianServerFolders +
                 "/<version>/bin (install Debian's postgresql, or set QP_POSTGRES_BIN)";
        return std::nullopt;
    }
    // The newest version: "15" before "9.6" by number, not by text.
    std::sort(found.begin(), found.end(), [](const fs::path& a, const fs::path& b) {
        return std::atof(a.parent_path().filename().c_str()) <
               std::atof(b.parent_path().filename().c_str());
    });
    return found.back();
}

bool PostgresServer::run(const std::string& tool, const std::vector<std::string>& arguments,
                         std::string& error) const {
    std::vector<std::string> words;
    fs::path program = m_binaries / tool;
    if (geteuid() == 0) {
        words = {"-u", kServerUser, "--", program.string()};
        program = kRunuser;
    }
    words.insert(words.end(), arguments.begin(), arguments.end());
    // LC_ALL=C: initdb's locale, whatever this machine's is.
    const ProcessOutcome outcome = runProcess(program, words, {{"LC_ALL", "C"}, {"LANG", "C"}});
    if (outcome.status == 0) return true;
    error = tool + " failed (status " + std::to_string(outcome.status) + "): " + outcome.err +
            outcome.out;
    return false;
}

std::unique_ptr<PostgresServer> PostgresServer::start(const fs::path& binaries, Settings settings,
                                                      std::string& error) {
    std::unique_ptr<PostgresServer> server(new PostgresServer());
    server->m_binaries = binaries;
    server->m_folder = std::make_unique<TempFolder>();
    const fs::path folder = server->m_folder->path();
    if (geteuid() == 0) {
        const passwd* user = getpwnam(kServerUser);
        if (!user) {
            error = std::string("running as root, but there is no '") + kServerUser +
                    "' user to run the server as";
            return nullptr;
        }
        if (chown(folder.c_str(), user->pw_uid, user->pw_gid) != 0) {
            error = "cannot give " + folder.string() + " to the postgres user";
            return nullptr;
        }
    }
    const fs::path data = folder / "data";
    const fs::path log = folder / "server.log";
    if (!server->run("initdb",
                     {"-D", data.string(), "-U", "postgres", "-A", "trust", "-E", "UTF8",
                      "--locale=C", "--no-sync"},
                     error)) {
        return nullptr;
    }
    std::string options =
        "-c listen_addresses=127.0.0.1 -c unix_socket_directories='' "
        "-c max_connections=" +
        std::to_string(settings.maxConnections);
    if (!settings.durable) options += " -c fsync=off -c full_page_writes=off";
    // A port found free may be taken before the server binds it: try another.
    for (int attempt = 1; attempt <= kStartAttempts; ++attempt) {
        server->m_port = freePort();
        error.clear();
        if (server->run("pg_ctl",
                        {"-D", data.string(), "-l", log.string(), "-w", "-t", "120", "-o",
                         options + " -p " + std::to_string(server->m_port), "start"},
                        error)) {
            break;
        }
        error += tail(log);
        if (attempt == kStartAttempts) return nullptr;
    }
    std::ifstream pidFile(data / "postmaster.pid");
    pidFile >> server->m_postmaster;

    // The watchdog waits for this process's end of the pipe to close, which
    // happens however this process ends, then makes sure the server is gone.
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) {
        error = "cannot make the watchdog's pipe";
        return nullptr;
    }
    const std::string folderText = folder.string();
    const pid_t watchdog = fork();
    if (watchdog == 0) {
        close(pipeEnds[1]);
        // Holding the test's output open would keep its reader waiting.
        const int nothing = open("/dev/null", O_RDWR);
        dup2(nothing, STDOUT_FILENO);
        dup2(nothing, STDERR_FILENO);
        char byte;
        while (read(pipeEnds[0], &byte, 1) != 0) {
        }
        kill(server->m_postmaster, SIGKILL);
        execl("/bin/rm", "rm", "-rf", folderText.c_str(), static_cast<char*>(nullptr));
        _exit(0);
    }
    close(pipeEnds[0]);
    server->m_watchdog = watchdog;
    server->m_watchdogPipe = pipeEnds[1];
    return server;
}

void PostgresServer::stop() {
    if (m_postmaster > 0) {
        std::string ignored;
        if (!run("pg_ctl",
                 {"-D", (m_folder->path() / "data").string(), "-m", "immediate", "-w", "stop"},
                 ignored)) {
            kill(m_postmaster, SIGKILL);
        }
        m_postmaster = -1;
    }
    if (m_watchdogPipe >= 0) {
        close(m_watchdogPipe);
        m_watchdogPipe = -1;
        int status = 0;
        waitpid(m_watchdog, &status, 0);
    }
}

PostgresServer::~PostgresServer() {
    stop();
}

std::string PostgresServer::url(const std::string& database) const {
    return "postgresql://postgres@127.0.0.1:" + std::to_string(m_port) + "/" + database;
}

std::string PostgresServer::execute(const std::string& database, const std::string& sql) const {
    PGconn* connection = PQconnectdb(url(database).c_str());
    std::string error;
    if (PQstatus(connection) != CONNECTION_OK) {
        error = PQerrorMessage(connection);
    } else {
        PGresult* result = PQexec(connection, sql.c_str());
        const ExecStatusType status = PQresultStatus(result);
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
            error = PQresultErrorMessage(result);
        PQclear(result);
    }
    PQfinish(connection);
    return error;
}

std::string PostgresServer::createDatabase(std::string& error) {
    const std::string name = "store_" + std::to_string(++m_databases);
    error = execute("postgres", "CREATE DATABASE " + name);
    return error.empty() ? url(name) : std::string();
}

PostgresServer* sharedPostgresServer(std::string& skipReason, std::string& error) {
    static std::string binariesMissing;
    static std::string failure;
    static const std::unique_ptr<PostgresServer> server = [] {
        const std::optional<fs::path> binaries = PostgresServer::findBinaries(binariesMissing);
        if (!binaries) return std::unique_ptr<PostgresServer>();
        return PostgresServer::start(*binaries, {}, failure);
    }();
    skipReason = binariesMissing;
    error = failure;
    return server.get();
}

}  // namespace qp::test
