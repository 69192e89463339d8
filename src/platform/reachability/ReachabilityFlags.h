#pragma once
// The flag bits a reachability source reports for a network target, the status
// they add up to, and their one-line diagnostic form.

#include <cstdint>
#include <string>

namespace qp {

using ReachabilityFlags = std::uint32_t;

// The route is a transient (dial-up style) connection.
inline constexpr ReachabilityFlags kReachabilityFlagTransientConnection = 0x1;
// The target can be reached with the current configuration.
inline constexpr ReachabilityFlags kReachabilityFlagReachable = 0x2;
// A connection must first be established.
inline constexpr ReachabilityFlags kReachabilityFlagConnectionRequired = 0x4;
// A connection is made automatically on traffic.
inline constexpr ReachabilityFlags kReachabilityFlagConnectionOnTraffic = 0x8;
// The user must act (for example enter a password).
inline constexpr ReachabilityFlags kReachabilityFlagInterventionRequired = 0x10;
// A connection is made on demand.
inline constexpr ReachabilityFlags kReachabilityFlagConnectionOnDemand = 0x20;
// The target is an address of this machine.
inline constexpr ReachabilityFlags kReachabilityFlagIsLocalAddress = 0x10000;
// The target is on a directly attached network (no gateway on the way).
inline constexpr ReachabilityFlags kReachabilityFlagIsDirect = 0x20000;
// The route goes over the cellular network.
inline constexpr ReachabilityFlags kReachabilityFlagIsWWAN = 0x40000;

enum ReachabilityStatus : int {
    ReachabilityStatusNone = 0,
    ReachabilityStatusCellular = 1,
    ReachabilityStatusWiFi = 2,
};

// Display texts of the statuses, also the keys of their translations.
inline constexpr const char* kReachabilityStatusNoneText = "No Connection";
inline constexpr const char* kReachabilityStatusCellularText = "Cellular";
inline constexpr const char* kReachabilityStatusWiFiText = "WiFi";

// The display text of `status` (untranslated).
const char* reachabilityStatusText(ReachabilityStatus status);

// Ten characters, "%c%c %c%c%c%c%c%c%c": a letter for each set flag and '-'
// for each clear one, in the order W(IsWWAN) R(Reachable), a blank,
// c(ConnectionRequired) t(TransientConnection) i(InterventionRequired)
// C(ConnectionOnTraffic) D(ConnectionOnDemand) l(IsLocalAddress) d(IsDirect).
std::string reachabilityFlagsString(ReachabilityFlags flags);

}  // namespace qp
