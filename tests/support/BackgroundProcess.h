#pragma once
// Starts a program that keeps running (an app waiting for later starts) and
// reads what it writes to standard error as it comes, so a test can wait for
// a line instead of sleeping. Ended with a signal by the test, or on
// destruction.

#include <cerrno>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/ChildProcess.h"

namespace qp::test {

class BackgroundProcess {
public:
    BackgroundProcess(const std::filesystem::path& program,
                      const std::vector<std::string>& arguments,
                      const Environment& environment = {}) {
        SpawnLists lists(program, arguments, environment);

        int pipeEnds[2];
        if (::pipe2(pipeEnds, O_CLOEXEC) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 2);
        if (posix_spawn(&m_pid, lists.argv[0], &actions, nullptr, lists.argv.data(),
                        lists.envp.data()) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(pipeEnds[1]);
        m_err = pipeEnds[0];
    }
    ~BackgroundProcess() {
        if (m_pid > 0) end(SIGKILL);
        if (m_err >= 0) ::close(m_err);
    }
    BackgroundProcess(const BackgroundProcess&) = delete;
    BackgroundProcess& operator=(const BackgroundProcess&) = delete;

    bool started() const { return m_pid > 0; }

    // Reads standard error until `text` has appeared (true) or `limit` has
    // passed or the program closed it (false).
    bool waitForError(const std::string& text, std::chrono::milliseconds limit) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (m_stderr.find(text) == std::string::npos) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0 || !readSome(static_cast<int>(left.count()))) return false;
        }
        return true;
    }

    // Sends `signal`, waits for the end and reads what is left; answers the
    // exit status, or 128 + the signal that ended it.
    int end(int signal = SIGTERM) {
        if (m_pid <= 0) return -1;
        ::kill(m_pid, signal);
        int wstatus = 0;
        while (::waitpid(m_pid, &wstatus, 0) < 0 && errno == EINTR) {
        }
        m_pid = -1;
        while (readSome(0)) {
        }
        return WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
    }

    // Everything read from standard error so far.
    const std::string& errorOutput() const { return m_stderr; }

private:
    bool readSome(int timeoutMs) {
        pollfd ready{m_err, POLLIN, 0};
        int polled = 0;
        while ((polled = ::poll(&ready, 1, timeoutMs)) < 0 && errno == EINTR) {
        }
        if (polled <= 0) return false;
        char buffer[4096];
        const ssize_t n = ::read(m_err, buffer, sizeof buffer);
        if (n <= 0) return false;
        m_stderr.append(buffer, static_cast<std::size_t>(n));
        return true;
    }

    pid_t m_pid = -1;
    int m_err = -1;
    std::string m_stderr;
};

}  // namespace qp::test
