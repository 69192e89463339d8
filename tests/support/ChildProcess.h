#pragma once
// Runs a program to its end, as a shell would, and keeps what it printed and
// its exit status: for tests of the real executable.

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/TempFolder.h"

extern char** environ;

namespace qp::test {

struct ProcessOutcome {
    int status = -1;  // the exit status, or 128 + the signal that ended it
    std::string out;
    std::string err;
};

using Environment = std::map<std::string, std::optional<std::string>>;

// This process's environment changed by `environment` (a value of nullopt
// removes the variable), as "NAME=value" strings.
inline std::vector<std::string> childEnvironment(const Environment& environment) {
    std::vector<std::string> variables;
    for (char** entry = environ; *entry; ++entry) {
        const std::string variable = *entry;
        if (!environment.count(variable.substr(0, variable.find('='))))
            variables.push_back(variable);
    }
    for (const auto& [name, value] : environment) {
        if (value) variables.push_back(name + "=" + *value);
    }
    return variables;
}

// A null-terminated array of the strings' characters, for exec and spawn.
inline std::vector<char*> cStringArray(std::vector<std::string>& strings) {
    std::vector<char*> list;
    for (std::string& s : strings) list.push_back(s.data());
    list.push_back(nullptr);
    return list;
}

// A program's argument and environment lists as spawn takes them; the
// arrays point into the strings, so they live together.
struct SpawnLists {
    SpawnLists(const std::filesystem::path& program, const std::vector<std::string>& arguments,
               const Environment& environment)
        : words{program.string()}, variables(childEnvironment(environment)) {
        words.insert(words.end(), arguments.begin(), arguments.end());
        argv = cStringArray(words);
        envp = cStringArray(variables);
    }
    SpawnLists(const SpawnLists&) = delete;
    SpawnLists& operator=(const SpawnLists&) = delete;

    std::vector<std::string> words;
    std::vector<std::string> variables;
    std::vector<char*> argv;
    std::vector<char*> envp;
};

// Runs `program` with `arguments`, standard input from /dev/null, in this
// process's environment changed by `environment` (a value of nullopt removes
// the variable).
inline ProcessOutcome runProcess(const std::filesystem::path& program,
                                 const std::vector<std::string>& arguments,
                                 const Environment& environment = {}) {
    SpawnLists lists(program, arguments, environment);

    // Files, not pipes: a chatty child never blocks on a full pipe.
    TempFolder folder;
    const std::string outPath = (folder.path() / "out").string();
    const std::string errPath = (folder.path() / "err").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    pid_t pid = -1;
    const int spawned =
        posix_spawn(&pid, lists.argv[0], &actions, nullptr, lists.argv.data(), lists.envp.data());
    posix_spawn_file_actions_destroy(&actions);

    ProcessOutcome outcome;
    if (spawned != 0) return outcome;
    int wstatus = 0;
    while (waitpid(pid, &wstatus, 0) < 0 && errno == EINTR) {
    }
    outcome.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
    const auto slurp = [](const std::string& path) {
        std::ostringstream text;
        text << std::ifstream(path, std::ios::binary).rdbuf();
        return text.str();
    };
    outcome.out = slurp(outPath);
    outcome.err = slurp(errPath);
    return outcome;
}

}  // namespace qp::test
