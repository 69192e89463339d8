// The texts the settings and more-apps screens hand out, built from the
// configured hosts: exact to the byte, and nothing where a value is missing.

#include <gtest/gtest.h>

#include "screens/MoreAppsPage.h"
#include "screens/SettingsLinks.h"

using namespace qp;

TEST(StoreReviewAddress, JoinsHostIdAndQueryWithNothingBetween) {
    struct Case {
        const char* host;
        const char* id;
        const char* expected;
    };
    const Case cases[] = {
        {"itunes.example.com", "123456789",
         "http://itunes.example.com/WebObjects/MZStore.woa/wa/"
         "viewContentsUserReviews?id=123456789&pageNumber=0&sortOrdering=1&type=Purple+"
         "Software&mt=8"},
        // A host given with its scheme, port and a trailing slash.
        {"http://127.0.0.1:8080/", "7",
         "http://127.0.0.1:8080/WebObjects/MZStore.woa/wa/"
         "viewContentsUserReviews?id=7&pageNumber=0&sortOrdering=1&type=Purple+Software&mt=8"},
        // A placeholder in a value is text like any other.
        {"a%@b", "1",
         "http://a%@b/WebObjects/MZStore.woa/wa/"
         "viewContentsUserReviews?id=1&pageNumber=0&sortOrdering=1&type=Purple+Software&mt=8"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.host);
        EXPECT_EQ(storeReviewAddress(c.host, c.id), std::optional<std::string>(c.expected));
    }
}

TEST(StoreReviewAddress, NoneWithoutAHostOrADecimalIdentifier) {
    EXPECT_EQ(storeReviewAddress("", "123"), std::nullopt);
    EXPECT_EQ(storeReviewAddress("store.example", ""), std::nullopt);
    for (const char* id : {"12a", "-1", "1 2", "1&x=2"}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(storeReviewAddress("store.example", id), std::nullopt);
    }
}

TEST(MoreAppsPage, SitsAtTheRootOfTheHostOverHttp) {
    EXPECT_EQ(moreAppsPageUrl("files.example.com"),
              "http://files.example.com/Promo_kelvane_iphone_general.html");
    EXPECT_EQ(moreAppsPageUrl("http://127.0.0.1:9000//"),
              "http://127.0.0.1:9000/Promo_kelvane_iphone_general.html");
    EXPECT_EQ(moreAppsPageUrl("https://files.example.com"),
              "https://files.example.com/Promo_kelvane_iphone_general.html");
    EXPECT_EQ(moreAppsPageUrl(""), "");
}

TEST(MoreAppsPage, TheLocalPageNamesTheVersionAndTheSettingToChange) {
    const std::string page = localMoreAppsPage("1.2");
    EXPECT_NE(page.find("Quillpost 1.2"), std::string::npos);
    EXPECT_NE(page.find("more_apps_host"), std::string::npos);
}
