#include "service/PostgresServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <libpq-fe.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
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

namespace {

// The words that run `tool` as the server's user.
std::vector<std::string> asServerUser(const fs::path& binaries, const std::string& tool) {
    if (geteuid() != 0) return {(binaries / tool).string()};
    return {kRunuser, "-u", kServerUser, "--", (binaries / tool).string()};
}

bool run(const fs::path& binaries, const std::string& tool,
         const std::vector<std::string>& arguments, std::string& error) {
    std::vector<std::string> words = asServerUser(binaries, tool);
    const fs::path program = words.front();
    words.erase(words.begin());
    words.insert(words.end(), arguments.begin(), arguments.end());
    // LC_ALL=C: initdb's locale, whatever this machine's is.
    const ProcessOutcome outcome = runProcess(program, words, {{"LC_ALL", "C"}, {"LANG", "C"}});
    if (outcome.status == 0) return true;
    error = tool + " failed (status " + std::to_string(outcome.status) + "): " + outcome.err +
            outcome.out;
    return false;
}

bool giveToServerUser(const fs::path& folder, std::string& error) {
    if (geteuid() != 0) return true;
    const passwd* user = getpwnam(kServerUser);
    if (!user) {
        error = std::string("running as root, but there is no '") + kServerUser +
                "' user to run the server as";
        return false;
    }
    if (chown(folder.c_str(), user->pw_uid, user->pw_gid) != 0) {
        error = "cannot give " + folder.string() + " to the postgres user";
        return false;
    }
    return true;
}

}  // namespace

bool PostgresServer::launch(const fs::path& folder, Settings settings, std::string& error) {
    const fs::path data = folder / "data";
    const fs::path log = folder / "server.log";
    if (!run(m_binaries, "initdb",
             {"-D", data.string(), "-U", "postgres", "-A", "trust", "-E", "UTF8", "--locale=C",
              "--no-sync"},
             error)) {
        return false;
    }
    std::string options =
        "-c listen_addresses=127.0.0.1 -c unix_socket_directories='' "
        "-c max_connections=" +
        std::to_string(settings.maxConnections);
    if (!settings.durable) options += " -c fsync=off -c full_page_writes=off";
    // A port found free may be taken before the server binds it: try another.
    for (int attempt = 1;; ++attempt) {
        m_port = freePort();
        error.clear();
        if (run(m_binaries, "pg_ctl",
                {"-D", data.string(), "-l", log.string(), "-w", "-t", "120", "-o",
                 options + " -p " + std::to_string(m_port), "start"},
                error)) {
            break;
        }
        error += tail(log);
        if (attempt == kStartAttempts) return false;
    }
    std::ifstream pidFile(data / "postmaster.pid");
    pidFile >> m_postmaster;
    return true;
}

std::unique_ptr<PostgresServer> PostgresServer::start(const fs::path& binaries, Settings settings,
                                                      std::string& error) {
    std::unique_ptr<PostgresServer> server(new PostgresServer());
    server->m_binaries = binaries;
    server->m_folder = std::make_unique<TempFolder>();
    const fs::path folder = server->m_folder->path();
    if (!giveToServerUser(folder, error) || !server->launch(folder, settings, error)) {
        return nullptr;
    }
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
        if (!run(m_binaries, "pg_ctl",
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
    // Unique among the processes sharing the server, too.
    const std::string name =
        "store_" + std::to_string(getpid()) + "_" + std::to_string(++m_databases);
    error = execute("postgres", "CREATE DATABASE " + name);
    return error.empty() ? url(name) : std::string();
}

namespace {

// Waits for the last process that shares the server to end (each holds a
// shared lock on `users` for its lifetime), gives newcomers a few seconds,
// then stops the server and removes it, holding both locks so that no
// process takes it up meanwhile.
constexpr const char* kReaperScript = R"sh(
users=$1; lock=$2; state=$3; folder=$4; shift 4
while :; do
  flock -x "$users" true
  sleep 3
  if flock -x -n "$users" flock -x "$lock" sh -c '
      folder=$1; state=$2; shift 2
      "$@" -D "$folder/data" -m fast -w stop || kill -9 "$(head -n 1 "$folder/data/postmaster.pid")"
      rm -rf "$folder" "$state"' sh "$folder" "$state" "$@"; then
    exit 0
  fi
done
)sh";

bool answers(int port) {
    const std::string url =
        "postgresql://postgres@127.0.0.1:" + std::to_string(port) + "/postgres?connect_timeout=5";
    return PQping(url.c_str()) == PQPING_OK;
}

}  // namespace

std::unique_ptr<PostgresServer> PostgresServer::shared(const fs::path& binaries,
                                                       std::string& error) {
    const fs::path base =
        fs::temp_directory_path() / ("qp-test-postgres-" + std::to_string(geteuid()));
    std::error_code ec;
    fs::create_directories(base, ec);
    const fs::path users = base / "users";
    const fs::path lock = base / "lock";
    const fs::path state = base / "state";
    const fs::path folder = base / "server";
    // Held until this process ends: never closed.
    const int usersFd = open(users.c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0644);
    const int lockFd = open(lock.c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0644);
    if (usersFd < 0 || lockFd < 0 || flock(usersFd, LOCK_SH) != 0 || flock(lockFd, LOCK_EX) != 0) {
        error = "cannot take the locks in " + base.string();
        return nullptr;
    }
    struct Unlock {
        int fd;
        ~Unlock() { close(fd); }
    } unlock{lockFd};

    std::unique_ptr<PostgresServer> server(new PostgresServer());
    server->m_binaries = binaries;
    {
        std::ifstream known(state);
        int port = 0;
        if (known >> port && answers(port)) {
            server->m_port = port;
            return server;
        }
    }
    // None, or one left from a machine that went down: start afresh.
    fs::remove_all(folder, ec);
    fs::create_directory(folder, ec);
    if (!giveToServerUser(folder, error) || !server->launch(folder, {}, error)) return nullptr;
    server->m_postmaster = -1;  // the reaper's to stop, not this object's
    {
        std::ofstream(state.string() + ".new") << server->m_port << "\n";
        fs::rename(state.string() + ".new", state, ec);
    }
    std::vector<std::string> words = {"/bin/sh",      "-c",           kReaperScript,
                                      "reaper",       users.string(), lock.string(),
                                      state.string(), folder.string()};
    for (const std::string& word : asServerUser(binaries, "pg_ctl")) words.push_back(word);
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (int fd = 0; fd <= 2; ++fd) {
        posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd ? O_WRONLY : O_RDONLY, 0);
    }
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // Its own session: outside the test's process group, which a time-out kills.
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    pid_t reaper = -1;
    const int spawned = posix_spawn(&reaper, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (spawned != 0) {
        error = "cannot start the process that stops the shared server";
        return nullptr;
    }
    return server;
}

PostgresServer* sharedPostgresServer(std::string& skipReason, std::string& error) {
    static std::string binariesMissing;
    static std::string failure;
    static const std::unique_ptr<PostgresServer> server = [] {
        const std::optional<fs::path> binaries = PostgresServer::findBinaries(binariesMissing);
        if (!binaries) return std::unique_ptr<PostgresServer>();
        return PostgresServer::shared(*binaries, failure);
    }();
    skipReason = binariesMissing;
    error = failure;
    return server.get();
}

}  // namespace qp::test
