#pragma once
// How a route answer becomes reachability flags, and which interfaces are cellular.

#include <optional>
#include <string>
#include <string_view>

#include "platform/reachability/NetlinkRoutes.h"
#include "platform/reachability/ReachabilityFlags.h"

namespace qp {

// Reachable for any route; IsLocalAddress (and IsDirect) for an address of
// this machine; IsDirect when no gateway is on the way; IsWWAN when the
// route leaves over a cellular interface.
ReachabilityFlags flagsForRoute(const std::optional<RouteAnswer>& route, bool cellular);

// A cellular modem: named wwan*, or a device whose type the kernel reports
// as "wwan" (DEVTYPE in its uevent).
bool isCellularInterface(std::string_view name, std::string_view deviceType);

// The DEVTYPE line of `<sysClassNet>/<name>/uevent`, or "" when there is none.
std::string interfaceDeviceType(const std::string& sysClassNet, const std::string& name);

// The name of the interface with index `index`, or "" when it has gone.
std::string interfaceName(int index);

}  // namespace qp
