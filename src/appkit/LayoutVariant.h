#pragma once
// Which layout file a screen uses on this device: "<Screen>_iPhone",
// "<Screen>_iPhone40" or "<Screen>_iPad".

#include <string>

#include "appkit/UIDeviceHardware.h"

namespace qp {

inline constexpr const char* kVariantPhone = "_iPhone";
inline constexpr const char* kVariantPhone40 = "_iPhone40";
inline constexpr const char* kVariantPad = "_iPad";

// The suffix for a DeviceType. A screen the classification does not know (0)
// gets the nearest variant: the tablet one on a tablet, the 4-inch one on a
// phone at least 568 points tall, the 3.5-inch one otherwise.
std::string layoutVariant(DeviceType type, const DeviceProfile& profile);

// "<screen><variant>", e.g. "MainViewController_iPhone40".
std::string layoutName(const std::string& screen, DeviceType type, const DeviceProfile& profile);

// The more-apps screen has only two layouts, chosen by the interface idiom:
// "More_iPad" unless the device reports the phone idiom.
std::string moreLayoutName(const DeviceProfile& profile);

}  // namespace qp
