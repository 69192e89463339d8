#pragma once
// The command line of `quillpost analytics serve|report`.

#include <CLI/CLI.hpp>

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

// The checks of --listen and --db. Without them (the default validators pass
// everything) the options are only read, for a program that hands the
// command on to one that checks them.
struct AnalyticsChecks {
    CLI::Validator listen;
    CLI::Validator database;
};

// Adds `analytics` with its subcommands `serve` and `report` to `cli`.
AnalyticsCommands addAnalyticsCommand(CLI::App& cli, AnalyticsOptions& options,
                                      const AnalyticsChecks& checks);

}  // namespace qp
