#pragma once
// The app's side of the load test: clients on threads of their own, each
// with the app's real session store on disk and its real report sender over
// libcurl. Each client makes new sessions of realistic size and sends every
// kept one at each send; what the service acknowledges leaves the client,
// what it does not stays for the next send.

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "analytics/SessionRecord.h"

namespace qp::bench {

// A session as the app records one: the four device events with their
// parameters, then a few dozen editing events, some with parameters, their
// count table, and an end. `index` makes the 32-hex-digit id unique.
SessionRecord realisticSession(std::uint64_t run, std::uint64_t index);

struct LoadFigures {
    std::size_t sessionsMade = 0;
    std::size_t sessionsAcknowledged = 0;
    std::size_t sessionsLeftOnClients = 0;
    std::size_t sendsAcknowledged = 0;
    std::size_t sendsFailed = 0;
    std::size_t bytesSent = 0;
    double seconds = 0;
    std::vector<double> latenciesMilliseconds;  // of acknowledged sends, sorted
    bool stoppedByTimeLimit = false;

    double percentile(double p) const;
};

struct LoadPlan {
    int clients = 50;
    std::size_t sessions = 5000;  // one new session per send
    std::chrono::seconds timeLimit{600};
    std::uint64_t run = 1;
    // Report URLs; client i sends to urls[i % size].
    std::vector<std::string> urls;
    std::filesystem::path folder;  // the clients' files go under it
    // Called with the count of acknowledged sessions after every
    // acknowledged send (the kill-and-restart scenario watches it).
    std::function<void(std::size_t acknowledged)> progress;
};

// Runs the plan, then lets every client send what it still keeps until the
// service takes it or `drainLimit` has passed. Every acknowledged session id
// goes into `acknowledged`.
LoadFigures runLoad(const LoadPlan& plan, std::set<std::string>& acknowledged,
                    std::chrono::seconds drainLimit = std::chrono::seconds(60));

}  // namespace qp::bench
