#pragma once
// One analytics service process on 127.0.0.1 for the load test: started,
// killed outright (SIGKILL, as a crash would) and started again on the same
// port, or stopped as an operator would (SIGTERM).

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace qp::bench {

class ServiceProcess {
public:
    // `command` runs the service; "--db URL --listen 127.0.0.1:PORT" follow it.
    ServiceProcess(std::vector<std::string> command, std::string databaseUrl,
                   std::filesystem::path log);
    ~ServiceProcess();
    ServiceProcess(const ServiceProcess&) = delete;
    ServiceProcess& operator=(const ServiceProcess&) = delete;

    // Starts it on `port` (0: any free port, the first time); false with the
    // reason in `error` when it did not say it is listening.
    bool start(std::string& error, int port = 0);
    void kill();
    // SIGTERM, then waits for its end; its exit status.
    int stop();

    int port() const { return m_port; }
    std::string reportUrl() const;
    bool isRunning() const { return m_pid > 0; }

private:
    std::vector<std::string> m_command;
    std::string m_databaseUrl;
    std::filesystem::path m_log;
    pid_t m_pid = -1;
    int m_port = 0;
};

}  // namespace qp::bench
