// Web dialogs through the injected factory, the frictionless recipient cache,
// and the saved session.

#include <gtest/gtest.h>

#include "FacebookTestSupport.h"
#include "facebook/FacebookSessionDefaults.h"
#include "platform/plist/PlistUserDefaults.h"
#include "support/LogCapture.h"
#include "support/MemoryUserDefaults.h"
#include "support/TempFolder.h"

namespace qp {
namespace {

using namespace std::chrono_literals;

std::string text(const FBParams& params, const std::string& key) {
    const std::string* value = textParam(params, key);
    return value ? *value : "<absent>";
}

TEST(FacebookDialog, OtherDialogsCarryTheAppIdAndTheDecodedToken) {
    FacebookTestBed bed;
    auto facebook = bed.loggedInClient("a%2Fb");
    facebook->dialog("feed", {{"link", std::string("https://quillpost.test")}}, nullptr);
    ASSERT_EQ(bed.dialogs.made.size(), 1u);
    const auto& made = bed.dialogs.made[0];
    EXPECT_FALSE(made.login);
    EXPECT_TRUE(made.shown);
    EXPECT_FALSE(made.invisible);
    EXPECT_EQ(made.url, "https://m.test/dialog/feed");
    EXPECT_EQ(text(made.params, "display"), "touch");
    EXPECT_EQ(text(made.params, "sdk"), "2");
    EXPECT_EQ(text(made.params, "redirect_uri"), "fbconnect://success");
    EXPECT_EQ(text(made.params, "app_id"), kTestAppId);
    EXPECT_EQ(text(made.params, "access_token"), "a/b");
    EXPECT_EQ(text(made.params, "type"), "<absent>");
    EXPECT_EQ(text(made.params, "link"), "https://quillpost.test");
    EXPECT_TRUE(facebook->isExtendingAccessToken());  // the restored session is renewed

    facebook->dialog("oauth", nullptr);
    ASSERT_EQ(bed.dialogs.made.size(), 2u);
    EXPECT_TRUE(bed.dialogs.made[1].login);
    EXPECT_EQ(text(bed.dialogs.made[1].params, "type"), "user_agent");
    EXPECT_EQ(text(bed.dialogs.made[1].params, "app_id"), "<absent>");
}

TEST(FacebookDialog, RequestsToCachedRecipientsRunInvisibly) {
    struct Case {
        std::optional<std::string> to;
        bool invisible;
    };
    const Case cases[] = {
        {std::nullopt, false}, {"[\"1\", 2]", true},  {"1, 2", true},          {"1,3", false},
        {"[]", true},          {"{\"to\":1}", false}, {"[{\"id\":1}]", false}, {"[1.5]", false},
    };
    for (const Case& c : cases) {
        FacebookTestBed bed;
        auto facebook = bed.client();
        facebook->enableFrictionlessRequests();
        bed.http.last().answer(R"({"data":[{"recipient_id":"1"},{"recipient_id":2}]})");
        FBParams params;
        if (c.to) params["to"] = *c.to;
        LogCapture log;
        facebook->dialog("apprequests", params, nullptr);
        ASSERT_EQ(bed.dialogs.made.size(), 1u);
        EXPECT_EQ(bed.dialogs.made[0].invisible, c.invisible) << c.to.value_or("none");
        EXPECT_EQ(text(bed.dialogs.made[0].params, "frictionless"), "1");
        EXPECT_EQ(text(bed.dialogs.made[0].params, "get_frictionless_recipients"), "1");
    }
    // Not enabled: always visible, no frictionless flags.
    FacebookTestBed bed;
    auto facebook = bed.client();
    facebook->frictionlessRequestSettings().updateRecipientCacheWithRecipients(
        std::vector<std::string>{"1"});
    facebook->dialog("apprequests", {{"to", std::string("1")}}, nullptr);
    EXPECT_FALSE(bed.dialogs.made[0].invisible);
    EXPECT_EQ(text(bed.dialogs.made[0].params, "frictionless"), "<absent>");
}

TEST(FBFrictionlessRequestSettings, KeepsTheRecipientsOfTheLastAnswer) {
    FacebookTestBed bed;
    auto facebook = bed.client();
    FBFrictionlessRequestSettings& settings = facebook->frictionlessRequestSettings();
    EXPECT_FALSE(settings.enabled());
    facebook->enableFrictionlessRequests();
    facebook->enableFrictionlessRequests();  // once only
    ASSERT_EQ(bed.http.exchanges.size(), 1u);
    EXPECT_TRUE(facebook->isFrictionlessRequestsEnabled());
    EXPECT_TRUE(settings.activeRequest());

    bed.http.last().answer(
        R"({"data":[{"recipient_id":"10"},{"recipient_id":20},{"other":1},"x"]})");
    EXPECT_FALSE(settings.activeRequest());
    EXPECT_EQ(settings.allowedRecipients(), (std::vector<std::string>{"10", "20"}));
    EXPECT_TRUE(facebook->isFrictionlessEnabledForRecipient(" 10\t"));
    EXPECT_FALSE(facebook->isFrictionlessEnabledForRecipient("1"));

    // A failed reload keeps the list.
    facebook->reloadFrictionlessRecipientCache();
    bed.http.last().fail(Error(kHttpErrorDomain, 1));
    EXPECT_FALSE(settings.activeRequest());
    EXPECT_EQ(settings.allowedRecipients().size(), 2u);

    const Result<bool> mixed = facebook->isFrictionlessEnabledForRecipients(
        {JsonValue("10"), JsonValue(20), JsonValue(true)});
    ASSERT_FALSE(mixed.ok());
    EXPECT_EQ(mixed.error().description(), "items in fbids must be NSString or NSNumber");
    EXPECT_TRUE(mixed.error().detail("invalid class"));
    // The first id that is not cached answers before a bad item is reached.
    const Result<bool> early =
        facebook->isFrictionlessEnabledForRecipients({JsonValue("99"), JsonValue(nullptr)});
    ASSERT_TRUE(early.ok());
    EXPECT_FALSE(*early);
}

TEST(FacebookSessionDefaults, KeepsTheSessionAcrossClients) {
    FacebookTestBed bed;
    MemoryUserDefaults defaults;
    auto first = bed.client();
    first->fbDialogLoginExpirationDate("T", bed.clock.now() + 1h);
    EXPECT_TRUE(saveFacebookSession(*first, defaults));
    EXPECT_EQ(defaults.stringForKey("FBAccessTokenKey"), "T");

    auto second = bed.client();
    restoreFacebookSession(defaults, *second);
    EXPECT_EQ(second->accessToken(), "T");
    EXPECT_TRUE(second->isSessionValid());

    // Half a session is no session.
    defaults.removeObjectForKey("FBExpirationDateKey");
    auto third = bed.client();
    restoreFacebookSession(defaults, *third);
    EXPECT_FALSE(third->accessToken());
}

TEST(FacebookSessionDefaults, ANeverExpiringTokenSurvivesTheSettingsFile) {
    TempFolder folder;
    FacebookTestBed bed;
    {
        PlistUserDefaults defaults(folder.path(), "net.quillpost.test");
        auto facebook = bed.client();
        facebook->handleOpenURL(std::string("fb") + kTestAppId + "://authorize#access_token=T");
        EXPECT_EQ(facebook->expirationDate(), kFBDistantFuture);
        EXPECT_TRUE(saveFacebookSession(*facebook, defaults));
    }
    PlistUserDefaults reread(folder.path(), "net.quillpost.test");
    auto facebook = bed.client();
    restoreFacebookSession(reread, *facebook);
    EXPECT_EQ(facebook->expirationDate(), kFBDistantFuture);
    EXPECT_TRUE(facebook->isSessionValid());
}

}  // namespace
}  // namespace qp
