#include "appkit/LayoutVariant.h"

namespace qp {

namespace {
constexpr double kFourInchPhoneHeight = 568;
}

std::string layoutVariant(DeviceType type, const DeviceProfile& profile) {
    switch (type) {
        case 1:
        case 2:
            return kVariantPhone;
        case 3:
            return kVariantPhone40;
        case 4:
        case 5:
            return kVariantPad;
        default:
            break;
    }
    if (profile.isPad()) return kVariantPad;
    return profile.screenSize.height >= kFourInchPhoneHeight ? kVariantPhone40 : kVariantPhone;
}

std::string layoutName(const std::string& screen, DeviceType type, const DeviceProfile& profile) {
    return screen + layoutVariant(type, profile);
}

std::string moreLayoutName(const DeviceProfile& profile) {
    const bool phone = !profile.idiom || *profile.idiom == InterfaceIdiom::Phone;
    return phone ? "More_iPhone" : "More_iPad";
}

}  // namespace qp
