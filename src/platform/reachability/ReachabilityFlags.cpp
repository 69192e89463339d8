#include "platform/reachability/ReachabilityFlags.h"

namespace qp {

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
    struct Letter {
        ReachabilityFlags flag;
        char letter;
    };
    static constexpr Letter kLetters[] = {
        {kReachabilityFlagIsWWAN, 'W'},
        {kReachabilityFlagReachable, 'R'},
        {0, ' '},
        {kReachabilityFlagConnectionRequired, 'c'},
        {kReachabilityFlagTransientConnection, 't'},
        {kReachabilityFlagInterventionRequired, 'i'},
        {kReachabilityFlagConnectionOnTraffic, 'C'},
        {kReachabilityFlagConnectionOnDemand, 'D'},
        {kReachabilityFlagIsLocalAddress, 'l'},
        {kReachabilityFlagIsDirect, 'd'},
    };
    std::string text;
    text.reserve(std::size(kLetters));
    for (const Letter& l : kLetters) {
        if (l.flag == 0) {
            text += l.letter;
        } else {
            text += (flags & l.flag) ? l.letter : '-';
        }
    }
    return text;
}

}  // namespace qp
