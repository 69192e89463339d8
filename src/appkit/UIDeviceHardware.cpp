#include "appkit/UIDeviceHardware.h"

#include <array>

namespace qp {

namespace {

struct ModelRow {
    const char* identifier;
    const char* name;
    const char* deviceClass;
};

// Looked up top to bottom; the first row whose identifier is equal wins.
constexpr std::array<ModelRow, 30> kModelTable{{
    {"iPhone1,1", "iPhone 1G", "iPhone 1G class"},
    {"iPhone1,2", "iPhone 3G", "iPhone 3G class"},
    {"iPhone1,2*", "iPhone 3G (China)", "iPhone 3G class"},
    {"iPhone2,1", "iPhone 3GS", "iPhone 3GS class"},
    {"iPhone2,1*", "iPhone 3GS (China)", "iPhone 3GS class"},
    {"iPhone3,1", "iPhone 4 (GSM)", "iPhone 4 class"},
    {"iPhone3,2", "iPhone 4 (GSM) rev A", "iPhone 4 class"},
    {"iPhone3,3", "iPhone 4 (CDMA)", "iPhone 4 class"},
    {"iPhone4,1", "iPhone 4S", "iPhone 4S class"},
    {"iPhone5,1", "iPhone 5 (GSM)", "iPhone 5 class"},
    {"iPhone5,2", "iPhone 5 (CDMA)", "iPhone 5 class"},
    {"iPod1,1", "iPod touch 1st Gen", "iPhone 1G class"},
    {"iPod2,1", "iPod touch 2nd Gen", "iPhone 3G class"},
    {"iPod3,1", "iPod touch 3rd Gen", "iPhone 3GS class"},
    {"iPod4,1", "iPod touch 4th Gen", "iPhone 4 class"},
    {"iPod5,1", "iPod touch 5th Gen", "iPhone 5 class"},
    {"iPad1,1", "iPad (Original)", "iPad class"},
    {"iPad2,1", "iPad 2 (Wi-Fi)", "iPad 2 class"},
    {"iPad2,2", "iPad 2 (GSM)", "iPad 2 class"},
    {"iPad2,3", "iPad 2 (CDMA)", "iPad 2 class"},
    {"iPad3,1", "iPad 3rd Gen (Wi-Fi)", "iPad 3rd Gen class"},
    {"iPad3,2", "iPad 3rd Gen (Verizon)", "iPad 3rd Gen class"},
    {"iPad3,3", "iPad 3rd Gen (AT&T)", "iPad 3rd Gen class"},
    {"iPad2,5", "iPad mini (Wi-Fi)", "iPad mini class"},
    {"iPad2,6", "iPad mini (AT&T)", "iPad mini class"},
    {"iPad2,7", "iPad mini (Verizon/Sprint)", "iPad mini class"},
    {"iPad3,4", "iPad 4th Gen (Wi-Fi)", "iPad 4th Gen class"},
    {"iPad3,5", "iPad 4th Gen (AT&T)", "iPad 4th Gen class"},
    {"iPad3,6", "iPad 4th Gen (Verizon/Sprint)", "iPad 4th Gen class"},
    {"i386", "iPhone Simulator", "iPhone Simulator"},
}};

const ModelRow* findModel(const std::string& identifier) {
    for (const ModelRow& row : kModelTable) {
        if (identifier == row.identifier) return &row;
    }
    return nullptr;
}

}  // namespace

UIDeviceHardware::UIDeviceHardware(const DeviceProfile& profile, MachineReader reader)
    : m_profile(profile), m_reader(std::move(reader)) {}

std::string UIDeviceHardware::platform() const {
    return m_reader ? m_reader() : std::string();
}

std::string UIDeviceHardware::platformString() const {
    const std::string id = platform();
    const ModelRow* row = findModel(id);
    return row ? row->name : id;
}

std::string UIDeviceHardware::platformClassString() const {
    const std::string id = platform();
    const ModelRow* row = findModel(id);
    return row ? row->deviceClass : id;
}

DeviceType UIDeviceHardware::findDeviceType() const {
    // Single precision, as the screen reports its values.
    const float scale = static_cast<float>(m_profile.scale.value_or(1.0));
    const float pixelHeight = static_cast<float>(m_profile.screenSize.height) * scale;
    if (m_profile.idiom && *m_profile.idiom != InterfaceIdiom::Phone) {
        if (scale == 2.0f && pixelHeight == 2048.0f) return 5;
        if (scale == 1.0f && pixelHeight == 1024.0f) return 4;
        return 0;
    }
    if (scale == 2.0f) {
        if (pixelHeight == 960.0f) return 2;
        if (pixelHeight == 1136.0f) return 3;
        return 0;
    }
    if (scale == 1.0f && pixelHeight == 480.0f) return 1;
    return 0;
}

}  // namespace qp
