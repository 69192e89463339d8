#include "platform/reachability/LinuxReachability.h"

namespace qp {

LinuxReachabilitySources::LinuxReachabilitySources(LinuxReachabilityOptions options)
    : m_options(std::move(options)) {}

std::unique_ptr<ReachabilityFlagsSource> LinuxReachabilitySources::sourceForHostname(
    const std::string& /*hostname*/) {
    return nullptr;
}

std::unique_ptr<ReachabilityFlagsSource> LinuxReachabilitySources::sourceForAddress(
    const sockaddr* /*address*/) {
    return nullptr;
}

LinuxReachabilitySources& linuxReachabilitySources() {
    static LinuxReachabilitySources sources;
    return sources;
}

std::vector<sockaddr_storage> resolveWithSystem(const std::string& /*hostname*/) {
    return {};
}

}  // namespace qp
