#include <gtest/gtest.h>

#include "platform/DeviceProfile.h"

using namespace qp;

TEST(DeviceProfile, NamedProfilesCoverEveryScreenTheAppKnows) {
    EXPECT_EQ(defaultDeviceProfile().name, "iphone-4in");
    struct Row {
        const char* name;
        double w, h, scale;
        bool pad;
    };
    for (const Row& row :
         {Row{"iphone", 320, 480, 1, false}, Row{"iphone-retina", 320, 480, 2, false},
          Row{"iphone-4in", 320, 568, 2, false}, Row{"ipad", 768, 1024, 1, true},
          Row{"ipad-retina", 768, 1024, 2, true}}) {
        SCOPED_TRACE(row.name);
        auto p = deviceProfileNamed(row.name);
        ASSERT_TRUE(p);
        EXPECT_EQ(p->screenSize, (Size{row.w, row.h}));
        EXPECT_EQ(p->effectiveScale(), row.scale);
        EXPECT_EQ(p->isPad(), row.pad);
    }
    EXPECT_FALSE(deviceProfileNamed("iphone-6"));
}

TEST(DeviceProfile, SystemVersionHasAtLeastThreeCharacters) {
    const std::string v = hostSystemVersion();
    EXPECT_GE(v.size(), 3u);
    EXPECT_NE(v.find('.'), std::string::npos);
    EXPECT_FALSE(hostMachineIdentifier().empty());
}
