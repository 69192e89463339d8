// The dialog URLs: building the page's URL and reading values out of the
// redirect scheme's URLs.
#include <gtest/gtest.h>

#include "facebook/ui/FBDialogURL.h"

namespace qp {
namespace {

TEST(FBDialogURL, ReadsAValueOnlyAfterAStartOrASeparator) {
    struct Case {
        const char* url;
        const char* needle;
        std::optional<std::string> value;
    };
    const Case cases[] = {
        {"fbconnect://success#access_token=AB&expires_in=60", "access_token=", "AB"},
        {"access_token=AB", "access_token=", "AB"},
        {"fbconnect://success?x=1&access_token=AB", "access_token=", "AB"},
        {"fbconnect://success#expires_in=60&access_token=AB", "expires_in=", "60"},
        // In the middle of a word it is not the key.
        {"fbconnect://success#my_access_token=AB", "access_token=", std::nullopt},
        {"fbconnect://success#access_token", "access_token=", std::nullopt},
        {"fbconnect://success#access_token=", "access_token=", ""},
        {"fbconnect://cancel?error_msg=Bad%20thing%C3%A9&error_code=5",
         "error_msg=", "Bad thing\xC3\xA9"},
        // An escape that does not decode is kept as it came.
        {"fbconnect://success#access_token=A%ZZ", "access_token=", "A%ZZ"},
        // Only the first occurrence counts, even when a later one would qualify.
        {"fbconnect://x#aaccess_token=1&access_token=2", "access_token=", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(getStringFromUrl(c.url, c.needle), c.value) << c.url;
    }
}

TEST(FBDialogURL, BuildsThePageURLWithEscapedPairsInKeyOrder) {
    EXPECT_EQ(generateURL("https://m.test/dialog/oauth", {}), "https://m.test/dialog/oauth");
    EXPECT_EQ(generateURL("https://m.test/dialog/oauth",
                          {{"redirect_uri", std::string("fbconnect://success")},
                           {"display", std::string("touch")},
                           {"scope", std::string("a b,c")}}),
              "https://m.test/dialog/oauth?display=touch&redirect_uri=fbconnect%3A%2F%2Fsuccess&"
              "scope=a%20b%2Cc");
    // File values never go into a page's URL.
    EXPECT_EQ(generateURL("https://m.test/d", {{"a", std::string("1")}, {"b", FBData{"x"}}}),
              "https://m.test/d?a=1");
}

TEST(FBDialogURL, TellsTheRedirectSchemesOutcomesApart) {
    EXPECT_EQ(classifyDialogNavigation("fbconnect://success#access_token=x"),
              FBDialogNavigation::Success);
    EXPECT_EQ(classifyDialogNavigation("fbconnect:success"), FBDialogNavigation::Success);
    EXPECT_EQ(classifyDialogNavigation("fbconnect://cancel?error_code=3"),
              FBDialogNavigation::Cancel);
    EXPECT_EQ(classifyDialogNavigation("fbconnect://cancelled"), FBDialogNavigation::Cancel);
    EXPECT_EQ(classifyDialogNavigation("https://m.test/fbconnect://cancel"),
              FBDialogNavigation::Load);
    EXPECT_EQ(classifyDialogNavigation("fbconnectx://success"), FBDialogNavigation::Load);
    EXPECT_EQ(classifyDialogNavigation("about:blank"), FBDialogNavigation::Load);
}

}  // namespace
}  // namespace qp
