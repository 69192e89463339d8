#pragma once
// Tells which device the app runs on: by the kernel's machine identifier
// (names for analytics) and by the screen (the DeviceType that picks layouts).

#include <cstdint>
#include <functional>
#include <string>

#include "platform/DeviceProfile.h"

namespace qp {

// 0 unknown screen; 1, 2 3.5-inch phone at scale 1, 2; 3 4-inch phone;
// 4, 5 tablet at scale 1, 2.
using DeviceType = std::int32_t;

class UIDeviceHardware {
public:
    using MachineReader = std::function<std::string()>;

    // Reads the screen from `profile` and the machine identifier with `reader`
    // (by default the kernel's, asked afresh on every call).
    explicit UIDeviceHardware(const DeviceProfile& profile,
                              MachineReader reader = hostMachineIdentifier);

    std::string platform() const;
    std::string platformString() const;
    std::string platformClassString() const;
    DeviceType findDeviceType() const;

private:
    const DeviceProfile& m_profile;
    MachineReader m_reader;
};

}  // namespace qp
