#include <gtest/gtest.h>

#include <QCoreApplication>

#include "app/AppDelegate.h"
#include "appkit/Configuration.h"
#include "platform/DeviceProfile.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/TextMessageService.h"
#include "screens/MainViewController.h"
#include "screens/SettingsViewController.h"
#include "support/LogCapture.h"
#include "support/TestAppServices.h"

using namespace qp;

namespace {

// A machine that sends text messages; the composers it made stay reachable.
class TextMessagesDouble : public TextMessageService {
public:
    bool canSendText() const override { return canSend; }
    std::shared_ptr<MessageComposeViewController> makeComposer() override {
        auto composer = TextMessageService::makeComposer();
        made.push_back(composer);
        return composer;
    }
    bool canSend = true;
    std::vector<std::weak_ptr<MessageComposeViewController>> made;
};

// Replaces how composed messages leave, answering `accept`.
struct ScopedSender {
    explicit ScopedSender(bool accept) {
        ComposeSender::replace([accept](const ComposedMessage&) { return accept; });
    }
    ~ScopedSender() { ComposeSender::replace({}); }
};

class StartScreenTest : public testing::Test, public test::TestAppServices {
protected:
    StartScreenTest() : TestAppServices(defaultDeviceProfile().name) {}

    void SetUp() override {
        AppContext c = context();
        c.textMessages = &texts;
        config.set(config::kDownloadLink, "https://quillpost.example/get");
        app = std::make_unique<AppDelegate>(c, "KEY");
        app->applicationDidFinishLaunchingWithOptions();
    }

    TextMessagesDouble texts;
    std::unique_ptr<AppDelegate> app;
};

}  // namespace

TEST_F(StartScreenTest, StartShowsTheSameEditorEveryTimeAndSetsTheFlag) {
    MainViewController& start = *app->viewController();
    start.actionStartButton(nullptr);
    ViewController* editor = start.editor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->layoutName(), "QuillpostVC_iPhone40");
    EXPECT_EQ(editor->modalTransitionStyle(), ModalTransitionStyle::CrossDissolve);
    EXPECT_EQ(start.presentedViewController(), editor);
    queue.advance(kCrossDissolveDuration * 2);
    // The editor cleared the flag when it came on screen.
    EXPECT_FALSE(app->state().startButtonWasPressed());

    editor->dismissViewControllerAnimated(false);
    start.actionStartButton(nullptr);
    EXPECT_EQ(start.editor(), editor);
    EXPECT_EQ(start.presentedViewController(), editor);
}

TEST_F(StartScreenTest, InstagramLinksAreExactAndAMissingAppIsReported) {
    MainViewController& start = *app->viewController();
    urls.openableSchemes = {"instagram"};
    start.actionInstaFollow(nullptr);
    start.actionQuillpostTag(nullptr);
    EXPECT_EQ(urls.opened, (std::vector<std::string>{"instagram://user?username=VantoraApp",
                                                     "instagram://tag?name=Vantora"}));

    urls.openableSchemes.clear();
    urls.opened.clear();
    const int alertsBefore = AlertView::shownCount();
    start.actionInstaFollow(nullptr);
    EXPECT_TRUE(urls.opened.empty());
    EXPECT_EQ(AlertView::shownCount(), alertsBefore + 1);
    QCoreApplication::processEvents();  // the headless answer closes it
}

TEST(FormatWithObject, FillsThePlaceholder) {
    EXPECT_EQ(formatWithObject("a%@b", "X"), "aXb");
    EXPECT_EQ(formatWithObject("none", "X"), "none");
}

TEST_F(StartScreenTest, TellAFriendDoesNothingVisibleWhereNoTextCanBeSent) {
    MainViewController& start = *app->viewController();
    texts.canSend = false;
    start.actionTellAFriendButton(nullptr);
    EXPECT_EQ(analytics.eventNames(), std::vector<std::string>{kEventTappedTellAFriend});
    EXPECT_EQ(start.presentedViewController(), nullptr);
    EXPECT_TRUE(texts.made.empty());

    // The desktop's own service never offers text messages.
    EXPECT_FALSE(DesktopTextMessageService().canSendText());
}

// Only a sent message is recorded; every result closes the composer, which
// then goes away with its presentation.
TEST_F(StartScreenTest, TellAFriendOffersTheTextAndRecordsOnlyASentMessage) {
    MainViewController& start = *app->viewController();
    struct Case {
        bool cancel;
        bool accepted;
        const char* logLine;
        std::vector<std::string> events;
    };
    const Case cases[] = {
        {false, true, "Message sent", {kEventTappedTellAFriend, kEventTellAFriendSent}},
        {true, true, "Message cancelled", {kEventTappedTellAFriend}},
        {false, false, "Message failed", {kEventTappedTellAFriend}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.logLine);
        analytics.events.clear();
        texts.made.clear();
        ScopedSender sender(c.accepted);
        LogCapture log;
        start.actionTellAFriendButton(nullptr);
        ASSERT_EQ(texts.made.size(), 1u);
        std::shared_ptr<MessageComposeViewController> composer = texts.made[0].lock();
        ASSERT_NE(composer, nullptr);
        EXPECT_EQ(start.presentedViewController(), composer.get());
        EXPECT_EQ(
            composer->body().toStdString(),
            "Post full size photos on Instagram with this free app https://quillpost.example/get");
        EXPECT_EQ(composer->messageComposeDelegate(), &start);
        c.cancel ? composer->cancel() : composer->send();
        composer.reset();
        EXPECT_EQ(start.presentedViewController(), nullptr);
        EXPECT_TRUE(texts.made[0].expired());
        EXPECT_TRUE(log.contains(c.logLine));
        EXPECT_EQ(analytics.eventNames(), c.events);
    }
}

TEST_F(StartScreenTest, SettingsComeModallyAndGoWithTheirBackButton) {
    MainViewController& start = *app->viewController();
    start.actionSettingsButton(nullptr);
    auto* settings = dynamic_cast<SettingsViewController*>(start.presentedViewController());
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(settings->layoutName(), "SettingsViewController_iPhone40");
    EXPECT_TRUE(settings->isOnScreen());
    settings->actionBackButton(nullptr);
    EXPECT_EQ(start.presentedViewController(), nullptr);
}
