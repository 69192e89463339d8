#include "platform/reachability/RouteFlags.h"

#include <net/if.h>

#include <fstream>

namespace qp {

namespace {

constexpr std::string_view kCellularNamePrefix = "wwan";
constexpr std::string_view kCellularDeviceType = "wwan";
constexpr std::string_view kDeviceTypeKey = "DEVTYPE=";

}  // namespace

ReachabilityFlags flagsForRoute(const std::optional<RouteAnswer>& route, bool cellular) {
    if (!route) return 0;
    ReachabilityFlags flags = kReachabilityFlagReachable;
    if (route->kind == RouteAnswer::Kind::Local) {
        return flags | kReachabilityFlagIsLocalAddress | kReachabilityFlagIsDirect;
    }
    if (!route->viaGateway) flags |= kReachabilityFlagIsDirect;
    if (cellular) flags |= kReachabilityFlagIsWWAN;
    return flags;
}

bool isCellularInterface(std::string_view name, std::string_view deviceType) {
    return name.starts_with(kCellularNamePrefix) || deviceType == kCellularDeviceType;
}

std::string interfaceDeviceType(const std::string& sysClassNet, const std::string& name) {
    if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..") {
        return {};
    }
    std::ifstream uevent(sysClassNet + "/" + name + "/uevent");
    std::string line;
    while (std::getline(uevent, line)) {
        if (line.starts_with(kDeviceTypeKey)) return line.substr(kDeviceTypeKey.size());
    }
    return {};
}

std::string interfaceName(int index) {
    char name[IF_NAMESIZE] = {};
    if (index <= 0 || !::if_indextoname(static_cast<unsigned>(index), name)) return {};
    return name;
}

}  // namespace qp
