#include <gtest/gtest.h>

#include "platform/reachability/Reachability.h"
#include "support/ScriptedReachability.h"

namespace qp {
namespace {

TEST(ReachabilityDecision, FollowsTheRuleForEachFlagCombination) {
    struct Case {
        ReachabilityFlags flags;
        bool reachableOnWWAN;
        bool reachable;
    };
    const Case cases[] = {
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
    EXPECT_TRUE(monitor->reachableOnWWAN()) << "true after construction";
    for (const Case& c : cases) {
        monitor->setReachableOnWWAN(c.reachableOnWWAN);
        EXPECT_EQ(monitor->isReachableWithFlags(c.flags), c.reachable)
            << std::hex << "flags 0x" << c.flags << " onWWAN " << c.reachableOnWWAN;
    }
}

TEST(ReachabilityFlagsString, OneLetterPerSetFlagInTheFixedOrder) {
    const std::pair<ReachabilityFlags, const char*> cases[] = {
        {0, "-- -------"},
        {0x40002, "WR -------"},
        {kReachabilityFlagConnectionRequired, "-- c------"},
        {kReachabilityFlagTransientConnection, "-- -t-----"},
        {kReachabilityFlagInterventionRequired, "-- --i----"},
        {kReachabilityFlagConnectionOnTraffic, "-- ---C---"},
        {kReachabilityFlagConnectionOnDemand, "-- ----D--"},
        {kReachabilityFlagIsLocalAddress, "-- -----l-"},
        {kReachabilityFlagIsDirect, "-- ------d"},
        {0x7003F, "WR ctiCDld"},
        // Bits with no letter leave no trace.
        {0x80000000u | 0x100, "-- -------"},
    };
    for (const auto& [flags, text] : cases) {
        EXPECT_EQ(reachabilityFlagsString(flags), text) << std::hex << "flags 0x" << flags;
    }
}

// Every query of a monitor over flags the script sets.
class ReachabilityQueries : public ::testing::Test {
protected:
    ScriptedReachability network;
    std::shared_ptr<Reachability> monitor =
        Reachability::reachabilityWithHostname("example.test", {nullptr, nullptr, &network});
};

TEST_F(ReachabilityQueries, AnswerFromTheFlagsReadAtTheCall) {
    struct Case {
        ReachabilityFlags flags;
        bool reachable, viaWWAN, viaWiFi, required, onDemand, intervention;
        ReachabilityStatus status;
        const char* text;
    };
    const Case cases[] = {
        {0, false, false, false, false, false, false, ReachabilityStatusNone, "No Connection"},
        {0x2, true, false, true, false, false, false, ReachabilityStatusWiFi, "WiFi"},
        {0x40002, true, true, false, false, false, false, ReachabilityStatusCellular, "Cellular"},
        {0x7, false, false, true, true, false, false, ReachabilityStatusNone, "No Connection"},
        {0x6 | 0x8, true, false, true, true, true, false, ReachabilityStatusWiFi, "WiFi"},
        {0x4 | 0x20, false, false, false, true, true, false, ReachabilityStatusNone,
         "No Connection"},
        {0x4 | 0x10, false, false, false, true, false, true, ReachabilityStatusNone,
         "No Connection"},
        // Without ConnectionRequired, on-demand and intervention bits mean nothing.
        {0x2 | 0x8 | 0x10 | 0x20, true, false, true, false, false, false, ReachabilityStatusWiFi,
         "WiFi"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << "flags 0x" << c.flags);
        network.setFlags(c.flags);
        EXPECT_EQ(monitor->reachabilityFlags(), c.flags);
        EXPECT_EQ(monitor->isReachable(), c.reachable);
        EXPECT_EQ(monitor->isReachableViaWWAN(), c.viaWWAN);
        EXPECT_EQ(monitor->isReachableViaWiFi(), c.viaWiFi);
        EXPECT_EQ(monitor->connectionRequired(), c.required);
        EXPECT_EQ(monitor->isConnectionRequired(), c.required);
        EXPECT_EQ(monitor->isConnectionOnDemand(), c.onDemand);
        EXPECT_EQ(monitor->isInterventionRequired(), c.intervention);
        EXPECT_EQ(monitor->currentReachabilityStatus(), c.status);
        EXPECT_EQ(monitor->currentReachabilityString(), c.text);
    }
}

TEST_F(ReachabilityQueries, CellularRouteCountsAsNoConnectionWhenWWANIsRefused) {
    network.setFlags(0x40002);
    monitor->setReachableOnWWAN(false);
    EXPECT_FALSE(monitor->isReachable());
    EXPECT_TRUE(monitor->isReachableViaWWAN()) << "the route is still cellular";
    EXPECT_EQ(monitor->currentReachabilityStatus(), ReachabilityStatusNone);
    EXPECT_EQ(monitor->currentReachabilityFlags(), "WR -------");
}

TEST_F(ReachabilityQueries, UnreadableFlagsAnswerFalseZeroAndNone) {
    network.setFlags(0x40002);
    network.setUnreadable();
    EXPECT_EQ(monitor->reachabilityFlags(), 0u);
    EXPECT_FALSE(monitor->isReachable());
    EXPECT_FALSE(monitor->isReachableViaWWAN());
    EXPECT_FALSE(monitor->isReachableViaWiFi());
    EXPECT_EQ(monitor->currentReachabilityStatus(), ReachabilityStatusNone);
    EXPECT_EQ(monitor->currentReachabilityString(), "No Connection");
    EXPECT_EQ(monitor->currentReachabilityFlags(), "-- -------");
}

TEST(ReachabilityString, PassesThroughTheTranslationWithTheTextAsKey) {
    ScriptedReachability network;
    ReachabilityEnvironment env{nullptr, nullptr, &network, [](const std::string& text) {
                                    return text == "WiFi" ? std::string("Funknetz") : std::string();
                                }};
    auto monitor = Reachability::reachabilityWithHostname("example.test", env);
    network.setFlags(kReachabilityFlagReachable);
    EXPECT_EQ(monitor->currentReachabilityString(), "Funknetz");
    network.setFlags(0);
    EXPECT_EQ(monitor->currentReachabilityString(), "No Connection") << "no translation";
}

}  // namespace
}  // namespace qp
