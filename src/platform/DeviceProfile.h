#pragma once
// The emulated phone or tablet: screen size in points, scale, interface idiom,
// system version, multitasking, and the kernel's machine identifier.

#include <optional>
#include <string>
#include <vector>

#include "platform/Geometry.h"

namespace qp {

enum class InterfaceIdiom { Phone = 0, Pad = 1 };

struct DeviceProfile {
    std::string name;                   // the --device name
    std::string description;            // a line for --help
    Size screenSize;                    // points
    std::optional<double> scale = 1.0;  // nullopt: the screen cannot report one
    std::optional<InterfaceIdiom> idiom = InterfaceIdiom::Phone;  // nullopt: cannot be asked
    std::string systemVersion;
    bool multitaskingSupported = true;

    Rect screenBounds() const { return {0, 0, screenSize.width, screenSize.height}; }
    double effectiveScale() const { return scale.value_or(1.0); }
    bool isPad() const { return idiom == InterfaceIdiom::Pad; }
};

// The named profiles --device accepts, the default first.
const std::vector<DeviceProfile>& deviceProfiles();
const DeviceProfile& defaultDeviceProfile();
std::optional<DeviceProfile> deviceProfileNamed(const std::string& name);

// The profile this process emulates; the default one until set at start-up.
const DeviceProfile& currentDeviceProfile();
void setCurrentDeviceProfile(const DeviceProfile& profile);

// The operating system's version, as "major.minor.patch" where it can be read
// (the kernel release from uname, e.g. "6.1.0"); never shorter than three characters.
std::string hostSystemVersion();

// The kernel's machine identifier (uname's machine field, e.g. "x86_64");
// empty when it cannot be read.
std::string hostMachineIdentifier();

}  // namespace qp
