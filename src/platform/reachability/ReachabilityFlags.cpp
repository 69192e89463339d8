#include "platform/reachability/ReachabilityFlags.h"

#include <cstdio>

namespace qp {

namespace {

// One letter or '-' per flag; see reachabilityFlagsString().
constexpr const char* kReachabilityFlagsFormat = "%c%c %c%c%c%c%c%c%c";

}  // namespace

const char* reachabilityStatusText(ReachabilityStatus status) {
    switch (status) {
        case ReachabilityStatusCellular:
            return kReachabilityStatusCellularText;
        case ReachabilityStatusWiFi:
            return kReachabilityStatusWiFiText;
        case ReachabilityStatusNone:
            break;
    }
    return kReachabilityStatusNoneText;
}

std::string reachabilityFlagsString(ReachabilityFlags flags) {
    auto letter = [flags](ReachabilityFlags flag, char set) { return (flags & flag) ? set : '-'; };
    char text[16];
    std::snprintf(
        text, sizeof text, kReachabilityFlagsFormat, letter(kReachabilityFlagIsWWAN, 'W'),
        letter(kReachabilityFlagReachable, 'R'), letter(kReachabilityFlagConnectionRequired, 'c'),
        letter(kReachabilityFlagTransientConnection, 't'),
        letter(kReachabilityFlagInterventionRequired, 'i'),
        letter(kReachabilityFlagConnectionOnTraffic, 'C'),
        letter(kReachabilityFlagConnectionOnDemand, 'D'),
        letter(kReachabilityFlagIsLocalAddress, 'l'), letter(kReachabilityFlagIsDirect, 'd'));
    return text;
}

}  // namespace qp
