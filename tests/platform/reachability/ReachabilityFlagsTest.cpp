#include <gtest/gtest.h>

#include "platform/reachability/Reachability.h"
#include "support/ScriptedReachability.h"

namespace qp {
namespace {

struct DecisionCase {
    ReachabilityFlags flags;
    bool reachableOnWWAN;
    bool reachable;
};

TEST(ReachabilityDecision, FollowsTheRuleForEachFlagCombination) {
    const DecisionCase cases[] = {
        {0, true, false},
        {kReachabilityFlagReachable, true, true},
        // Dial-up style: transient and a connection required, whatever Reachable says.
        {0x7, true, false},
        {0x5, true, false},
        {0x6, true, true},
        {0x3, true, true},
        {kReachabilityFlagConnectionRequired, true, false},
        {0x40002, true, true},
        {0x40002, false, false},
        {kReachabilityFlagIsWWAN, true, false},
        {kReachabilityFlagReachable | kReachabilityFlagIsDirect, false, true},
    };
    ScriptedReachability network;
    auto monitor =
        Reachability::reachabilityWithHostname("example.test", {nullptr, nullptr, &network});
    ASSERT_TRUE(monitor);
    for (const DecisionCase& c : cases) {
        monitor->setReachableOnWWAN(c.reachableOnWWAN);
        EXPECT_EQ(monitor->isReachableWithFlags(c.flags), c.reachable)
            << std::hex << "flags 0x" << c.flags << " onWWAN " << c.reachableOnWWAN;
    }
}

}  // namespace
}  // namespace qp
