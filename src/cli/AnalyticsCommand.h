#pragma once
// `quillpost analytics serve`: the service that receives the app's usage
// reports and stores them; `quillpost analytics report`: what they say, as
// text tables, JSON or a chart.

#include <CLI/CLI.hpp>

#include <cstdio>
#include <string>

namespace qp {

inline constexpr int kAnalyticsDone = 0;
inline constexpr int kAnalyticsFailed = 1;
inline constexpr const char* kDefaultListenAddress = "127.0.0.1:9090";

struct AnalyticsOptions {
    std::string listen = kDefaultListenAddress;  // HOST:PORT, [IPv6]:PORT
    std::string database = "sqlite:";
    bool json = false;
    std::string chart;  // PNG file to write; empty: none
};

struct AnalyticsCommands {
    CLI::App* serve = nullptr;
    CLI::App* report = nullptr;
};

// Adds `analytics` with its subcommands `serve` and `report` to `cli`.
AnalyticsCommands addAnalyticsCommand(CLI::App& cli, AnalyticsOptions& options);

// Serves until SIGINT or SIGTERM, then lets the reports being received
// finish; 0 after such a stop, 1 when the store or the address cannot be used.
int runAnalyticsServe(const AnalyticsOptions& options, std::FILE* out = stdout,
                      std::FILE* err = stderr);

int runAnalyticsReport(const AnalyticsOptions& options, std::FILE* out = stdout,
                       std::FILE* err = stderr);

}  // namespace qp
