#include "platform/DeviceProfile.h"

#include <cctype>

#include <sys/utsname.h>

namespace qp {

namespace {

std::vector<DeviceProfile> makeProfiles() {
    const std::string version = hostSystemVersion();
    auto phone = [&](std::string name, std::string text, double height, double scale) {
        return DeviceProfile{std::move(name),       std::move(text), {320, height}, scale,
                             InterfaceIdiom::Phone, version,         true};
    };
    auto tablet = [&](std::string name, std::string text, double scale) {
        return DeviceProfile{std::move(name),     std::move(text), {768, 1024}, scale,
                             InterfaceIdiom::Pad, version,         true};
    };
    return {
        phone("iphone-4in", "4-inch phone, 320 x 568 points at scale 2 (default)", 568, 2),
        phone("iphone", "3.5-inch phone, 320 x 480 points at scale 1", 480, 1),
        phone("iphone-retina", "3.5-inch phone, 320 x 480 points at scale 2", 480, 2),
        tablet("ipad", "tablet, 768 x 1024 points at scale 1", 1),
        tablet("ipad-retina", "tablet, 768 x 1024 points at scale 2", 2),
    };
}

}  // namespace

const std::vector<DeviceProfile>& deviceProfiles() {
    static const std::vector<DeviceProfile> profiles = makeProfiles();
    return profiles;
}

const DeviceProfile& defaultDeviceProfile() {
    return deviceProfiles().front();
}

std::optional<DeviceProfile> deviceProfileNamed(const std::string& name) {
    for (const DeviceProfile& p : deviceProfiles()) {
        if (p.name == name) return p;
    }
    return std::nullopt;
}

namespace {
DeviceProfile& currentProfileStorage() {
    static DeviceProfile profile = defaultDeviceProfile();
    return profile;
}
}  // namespace

const DeviceProfile& currentDeviceProfile() {
    return currentProfileStorage();
}
void setCurrentDeviceProfile(const DeviceProfile& profile) {
    currentProfileStorage() = profile;
}

std::string hostSystemVersion() {
    utsname info{};
    std::string version;
    if (::uname(&info) == 0) {
        // "6.1.0-18-amd64" -> "6.1.0": the leading run of digits and dots.
        for (const char* p = info.release;
             *p && (std::isdigit(static_cast<unsigned char>(*p)) || *p == '.'); ++p) {
            version += *p;
        }
        while (!version.empty() && version.back() == '.') version.pop_back();
    }
    if (version.empty()) version = "0";
    // Callers take the first three characters as the version class ("6.1").
    if (version.find('.') == std::string::npos) version += ".0";
    return version;
}

std::string hostMachineIdentifier() {
    utsname info{};
    if (::uname(&info) != 0) return {};
    return info.machine;
}

}  // namespace qp
