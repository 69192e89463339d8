#include "service/ServiceProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <regex>
#include <thread>

extern char** environ;

namespace qp::bench {
namespace {

constexpr int kBindAttempts = 50;

int waitFor(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace

ServiceProcess::ServiceProcess(std::vector<std::string> command, std::string databaseUrl,
                               std::filesystem::path log)
    : m_command(std::move(command)), m_databaseUrl(std::move(databaseUrl)), m_log(std::move(log)) {}

ServiceProcess::~ServiceProcess() {
    if (m_pid > 0) stop();
}

std::string ServiceProcess::reportUrl() const {
    return "http://127.0.0.1:" + std::to_string(m_port) + "/report";
}

bool ServiceProcess::start(std::string& error, int port) {
    // A port just let go by a killed service may take a moment to bind again.
    for (int attempt = 1; attempt <= kBindAttempts; ++attempt) {
        std::vector<std::string> words = m_command;
        words.insert(words.end(),
                     {"--db", m_databaseUrl, "--listen", "127.0.0.1:" + std::to_string(port)});
        std::vector<char*> argv;
        for (std::string& word : words) argv.push_back(word.data());
        argv.push_back(nullptr);

        int out[2];
        if (pipe2(out, O_CLOEXEC) != 0) {
            error = "cannot make a pipe";
            return false;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addopen(&actions, 2, m_log.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                         0600);
        const int spawned = posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        if (spawned != 0) {
            close(out[0]);
            m_pid = -1;
            error = "cannot run " + words[0];
            return false;
        }
        // "Listening on http://127.0.0.1:PORT/report, storing in …"
        std::FILE* stream = fdopen(out[0], "r");
        char line[1024] = {};
        const bool said = std::fgets(line, sizeof line, stream) != nullptr;
        std::fclose(stream);
        std::smatch match;
        const std::string text = line;
        if (said && std::regex_search(text, match, std::regex(R"(127\.0\.0\.1:(\d+))"))) {
            m_port = std::stoi(match[1]);
            return true;
        }
        waitFor(m_pid);
        m_pid = -1;
        error = "the service did not start; see " + m_log.string();
        if (port == 0) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

void ServiceProcess::kill() {
    if (m_pid <= 0) return;
    ::kill(m_pid, SIGKILL);
    waitFor(m_pid);
    m_pid = -1;
}

int ServiceProcess::stop() {
    if (m_pid <= 0) return -1;
    ::kill(m_pid, SIGTERM);
    const int status = waitFor(m_pid);
    m_pid = -1;
    return status;
}

}  // namespace qp::bench
