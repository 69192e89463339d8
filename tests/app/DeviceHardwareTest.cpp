#include <gtest/gtest.h>

#include "appkit/LayoutVariant.h"
#include "appkit/UIDeviceHardware.h"

using namespace qp;

namespace {

DeviceProfile screen(double height, std::optional<double> scale,
                     std::optional<InterfaceIdiom> idiom, double width = 320) {
    DeviceProfile p;
    p.screenSize = {width, height};
    p.scale = scale;
    p.idiom = idiom;
    return p;
}

constexpr auto kPhone = InterfaceIdiom::Phone;
constexpr auto kPad = InterfaceIdiom::Pad;

}  // namespace

TEST(UIDeviceHardware, ClassifiesScreensByScaleAndPixelHeight) {
    struct Row {
        DeviceProfile profile;
        DeviceType expected;
        const char* what;
    };
    const Row rows[] = {
        {screen(480, 1.0, kPhone), 1, "3.5-inch phone at 1x"},
        {screen(480, 2.0, kPhone), 2, "3.5-inch phone at 2x"},
        {screen(568, 2.0, kPhone), 3, "4-inch phone"},
        {screen(568, 1.0, kPhone), 0, "568 points at scale 1"},
        {screen(1024, 1.0, kPad, 768), 4, "tablet at 1x"},
        {screen(1024, 2.0, kPad, 768), 5, "tablet at 2x"},
        {screen(1112, 2.0, kPad, 834), 0, "tablet of another size"},
        {screen(480, 1.0, kPad), 0, "tablet idiom never uses the phone rules"},
        {screen(480, 3.0, kPhone), 0, "scale 3 on a phone"},
        {screen(1024, 3.0, kPad, 768), 0, "scale 3 on a tablet"},
        {screen(480, std::nullopt, kPhone), 1, "no scale reads as 1"},
        {screen(480, 1.0, std::nullopt), 1, "no idiom uses the phone rules"},
        {screen(1024, 1.0, std::nullopt, 768), 0, "no idiom, tablet size"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(UIDeviceHardware(row.profile).findDeviceType(), row.expected);
    }
}

TEST(UIDeviceHardware, NamesModelsFromTheTableAndPassesUnknownOnesThrough) {
    struct Row {
        const char* id;
        const char* name;
        const char* cls;
    };
    const Row rows[] = {
        {"iPod5,1", "iPod touch 5th Gen", "iPhone 5 class"},
        {"iPad2,5", "iPad mini (Wi-Fi)", "iPad mini class"},
        {"iPhone5,2", "iPhone 5 (CDMA)", "iPhone 5 class"},
        {"i386", "iPhone Simulator", "iPhone Simulator"},
        {"iPhone9,9", "iPhone9,9", "iPhone9,9"},
        {"ipod5,1", "ipod5,1", "ipod5,1"},  // case-sensitive
        {"x86_64", "x86_64", "x86_64"},
        {"", "", ""},  // the kernel could not be asked
    };
    const DeviceProfile profile = defaultDeviceProfile();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.id);
        UIDeviceHardware hardware(profile, [&] { return std::string(row.id); });
        EXPECT_EQ(hardware.platform(), row.id);
        EXPECT_EQ(hardware.platformString(), row.name);
        EXPECT_EQ(hardware.platformClassString(), row.cls);
    }
}

TEST(LayoutVariant, ChoosesTheLayoutForEachDeviceType) {
    const DeviceProfile phone = screen(480, 1.0, kPhone);
    EXPECT_EQ(layoutName("MainViewController", 1, phone), "MainViewController_iPhone");
    EXPECT_EQ(layoutName("MainViewController", 2, phone), "MainViewController_iPhone");
    EXPECT_EQ(layoutName("MainViewController", 3, phone), "MainViewController_iPhone40");
    EXPECT_EQ(layoutName("QuillpostVC", 4, phone), "QuillpostVC_iPad");
    EXPECT_EQ(layoutName("QuillpostVC", 5, phone), "QuillpostVC_iPad");
    // An unrecognised screen gets the nearest variant.
    EXPECT_EQ(layoutVariant(0, screen(1112, 2.0, kPad, 834)), "_iPad");
    EXPECT_EQ(layoutVariant(0, screen(568, 1.0, kPhone)), "_iPhone40");
    EXPECT_EQ(layoutVariant(0, screen(480, 3.0, kPhone)), "_iPhone");
    // The more-apps screen follows the idiom only.
    EXPECT_EQ(moreLayoutName(screen(568, 2.0, kPhone)), "More_iPhone");
    EXPECT_EQ(moreLayoutName(screen(1024, 1.0, kPad, 768)), "More_iPad");
}
