#pragma once
// Reachability sources whose flags the test sets. Every source made here
// answers the flags last set; setFlags() also reports them, on its serial
// queue, to each source whose monitor is notifying, as a network change would.
//
//     ScriptedReachability network;
//     ReachabilityEnvironment env{&center, &queue, &network};
//     auto monitor = startMonitoringHost("feed.example", env);
//     network.setReachable(true);
//     ASSERT_TRUE(queue.runUntil([&] { return seen; }));

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/reachability/ReachabilityFlagsSource.h"

namespace qp {

class ScriptedReachability final : public ReachabilitySourceFactory {
public:
    ScriptedReachability();
    ~ScriptedReachability() override;

    // Sets the flags every source answers and reports them to the notifying ones.
    void setFlags(ReachabilityFlags flags);
    // setFlags() with Reachable alone, or with nothing.
    void setReachable(bool reachable);
    // From now on the flags cannot be read (until the next setFlags()).
    void setUnreadable();

    // Makes the next sources reject their targets (constructors answer nothing).
    void setRejectsTargets(bool rejects);
    // Makes registering the callback, or attaching to a queue, fail.
    void setRefusesCallback(bool refuses);
    void setRefusesQueue(bool refuses);

    // The host names sources were asked for, in order.
    std::vector<std::string> hostnames() const;
    // How many sources were asked for by address.
    int addressCount() const;
    // How many sources have a callback and a queue now.
    int notifyingCount() const;

    std::unique_ptr<ReachabilityFlagsSource> sourceForHostname(
        const std::string& hostname) override;
    std::unique_ptr<ReachabilityFlagsSource> sourceForAddress(const sockaddr* address) override;

    struct Shared;

private:
    std::shared_ptr<Shared> m_shared;
};

}  // namespace qp
