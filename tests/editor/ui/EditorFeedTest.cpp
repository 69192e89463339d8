// The editor with the real theme-of-the-day feed behind it, served on
// 127.0.0.1: opening the category fetches today's theme and its images, and
// they reach the screen when the feed announces them.

#include <gtest/gtest.h>

#include "editor/COTDThemeFeed.h"
#include "editor/ResourceImages.h"
#include "editor/ui/EditorFixture.h"
#include "feed/COTDHandler.h"
#include "feed/FeedServer.h"
#include "platform/curl/CurlHttpClient.h"
#include "platform/ui/Button.h"
#include "support/WidgetInput.h"

namespace qp::test {
namespace {

FeedOptions optionsFor(const FeedServer& server) {
    FeedOptions options;
    options.revisionUrl = server.revisionUrl();
    return options;
}

struct EditorWithFeed : EditorFixture {
    EditorWithFeed()
        : http(queue),
          handler(FeedServices{.http = http,
                               .defaults = defaults,
                               .clock = queue.clock(),
                               .timeZone = zone,
                               .mainQueue = &queue,
                               .notifications = &notifications,
                               .overlay = nullptr,
                               .state = &state,
                               .namedImage =
                                   [](const std::string& name) {
                                       return resourceImageNamed(QP_RESOURCES, name);
                                   },
                               .observer = nullptr},
                  optionsFor(server)),
          themeFeed(handler) {
        handler.reachabilityChanged(true);
        // The app hands the feed over through the context, as here.
        context.themeFeed = [this]() -> ThemeFeed* { return &themeFeed; };
        editor = std::make_shared<QuillpostVC>(layoutFor(device), context);
    }

    // The editor goes before the feed it asks.
    ~EditorWithFeed() { editor.reset(); }

    Button* themeOfTheDayThumb() {
        return buttonWithTag(editor->themeStrip()->contentView(), themeButtonTag(5, 0));
    }

    FeedServer server;
    FixedOffsetTimeZone zone;
    CurlHttpClient http;
    COTDHandler handler;
    COTDThemeFeed themeFeed;
};

TEST(EditorFeed, OpeningTheThemeOfTheDayShowsTheFeedsThemeOnceItsImagesAreIn) {
    EditorWithFeed f;
    QuillpostVC& editor = f.load();
    editor.beginAppearance(true, false);
    editor.endAppearance(true, false);
    int announced = 0;
    f.notifications.addObserver(kNewCOTDImagesLoaded, nullptr,
                                [&](const Notification&) { ++announced; });

    tap(buttonWithTag(editor.categoryStrip()->contentView(), categoryButtonTag(5)));
    // The bundled thumbnail until the download is in.
    ASSERT_NE(f.themeOfTheDayThumb(), nullptr);
    const int bundledWidth = f.themeOfTheDayThumb()->imageForState(ControlState::Normal).width();
    EXPECT_NE(bundledWidth, kThumbWidth);

    ASSERT_TRUE(f.queue.runUntil([&] { return announced > 0; }));
    ASSERT_TRUE(f.handler.waitUntilIdle(std::chrono::seconds(10)));
    f.queue.runPending();

    ASSERT_NE(f.themeOfTheDayThumb(), nullptr);
    EXPECT_EQ(f.themeOfTheDayThumb()->imageForState(ControlState::Normal).width(), kThumbWidth);
    ASSERT_TRUE(editor.catalogue().appliedSettings().has_value());
    EXPECT_TRUE(editor.catalogue().appliedSettings()->recordFromFeed);
    EXPECT_EQ(editor.theThemeImageName(), "COTD");
    EXPECT_EQ(f.server.hits(kThemePath), 1);
}

TEST(EditorFeed, WithTheFeedDownTheBundledThemeOfTheDayStays) {
    EditorWithFeed f;
    f.server.remove(kRevisionPath);
    QuillpostVC& editor = f.load();
    editor.beginAppearance(true, false);
    editor.endAppearance(true, false);
    tap(buttonWithTag(editor.categoryStrip()->contentView(), categoryButtonTag(5)));
    ASSERT_TRUE(f.handler.waitUntilIdle(std::chrono::seconds(10)));
    f.queue.runPending();
    ASSERT_NE(f.themeOfTheDayThumb(), nullptr);
    EXPECT_FALSE(f.themeOfTheDayThumb()->imageForState(ControlState::Normal).isNull());
    ASSERT_TRUE(editor.catalogue().appliedSettings().has_value());
    EXPECT_FALSE(editor.catalogue().appliedSettings()->recordFromFeed);
}

}  // namespace
}  // namespace qp::test
