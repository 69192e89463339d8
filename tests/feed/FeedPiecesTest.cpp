// The feed's plain pieces: the day in a time zone, which texts are URLs,
// where the revision file is, and which record is the day's.

#include <gmock/gmock.h>

#include "feed/FeedDay.h"
#include "feed/FeedKeys.h"
#include "feed/FeedUrl.h"
#include "feed/PlistDescription.h"
#include "feed/TodaysTheme.h"

namespace qp {
namespace {

using namespace std::chrono;

TEST(FeedDay, TodayIsTheDateInTheFeedsTimeZone) {
    struct Case {
        sys_seconds utc;
        hours offset;
        const char* expected;
    };
    const Case cases[] = {
        {sys_days(year{2013} / 5 / 31) + hours(23) + minutes(30), hours(0), "05-31"},
        {sys_days(year{2013} / 5 / 31) + hours(23) + minutes(30), hours(1), "06-01"},
        {sys_days(year{2013} / 1 / 1) + hours(3), hours(-5), "12-31"},
        {sys_days(year{2012} / 2 / 29), hours(0), "02-29"},
        {sys_days(year{2013} / 10 / 9), hours(14), "10-09"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(monthDayText(c.utc, FixedOffsetTimeZone(c.offset)), c.expected);
    }
}

TEST(FeedDay, DayOfMonthReadsOnlyWellFormedDates) {
    EXPECT_EQ(dayOfMonth("05-17"), 17);
    EXPECT_EQ(dayOfMonth("12-31"), 31);
    EXPECT_EQ(dayOfMonth("02-29"), 29);
    for (const char* bad : {"02-30", "13-01", "00-10", "05-00", "5-17", "05/17", "05-1x", ""})
        EXPECT_EQ(dayOfMonth(bad), std::nullopt) << bad;
}

TEST(FeedUrl, OnlyAbsoluteWebUrlsWithoutUnsafeCharactersCount) {
    for (const char* good : {"http://127.0.0.1:8080/a.png", "https://feed.example/x%20y.jpg",
                             "HTTP://Feed.Example/a?b=c#d", "http://[::1]:80/a"})
        EXPECT_TRUE(isFeedUrl(good)) << good;
    for (const char* bad : {"", "art/theme.png", "ftp://host/a", "file:///etc/passwd", "http://",
                            "http:///path", "http://host/a b.png", "http://host/<a>",
                            "http://host/a\n", "http://h\xc3\xa9/a", "javascript:alert(1)"})
        EXPECT_FALSE(isFeedUrl(bad)) << bad;
}

TEST(FeedUrl, TheRevisionFileLivesAtItsPathOnTheConfiguredHost) {
    const std::string path = "/feed2/COTD%20latest%20revision.plist";
    EXPECT_EQ(revisionFileUrl("http://127.0.0.1:8080"), "http://127.0.0.1:8080" + path);
    EXPECT_EQ(revisionFileUrl("http://127.0.0.1:8080/"), "http://127.0.0.1:8080" + path);
    EXPECT_EQ(revisionFileUrl("feed.example"), "http://feed.example" + path);
    EXPECT_EQ(revisionFileUrl("https://feed.example/base/"), "https://feed.example/base" + path);
    EXPECT_EQ(revisionFileUrl("http://h/other/rev.plist"), "http://h/other/rev.plist");
    EXPECT_EQ(std::string(kCOTDRevisionFilePath), path);
    // Another scheme is not taken for a host name.
    EXPECT_FALSE(isFeedUrl(revisionFileUrl("ftp://feed.example")));
    EXPECT_FALSE(isFeedUrl(revisionFileUrl("")));
}

TEST(FeedUrl, TheProbedHostIsTheBareHostName) {
    EXPECT_EQ(hostOfUrl("http://127.0.0.1:8080/feed"), "127.0.0.1");
    EXPECT_EQ(hostOfUrl("https://user:pw@feed.example/x"), "feed.example");
    EXPECT_EQ(hostOfUrl("feed.example:81"), "feed.example");
    EXPECT_EQ(hostOfUrl("http://[::1]:8080/"), "::1");
    EXPECT_EQ(hostOfUrl(""), "");
}

PlistDictionary named(const std::string& name) {
    return {{"theme name", name}};
}

PlistDictionary monthOf(int count) {
    PlistArray records;
    for (int day = 1; day <= count; ++day)
        records.emplace_back(named("day " + std::to_string(day)));
    return {{kMonthOfThemeItemsKey, records}};
}

PlistDictionary specials(PlistDictionary items) {
    return {{kSpecialDayThemeItemsKey, std::move(items)}};
}

std::string nameOf(const DayTheme& theme) {
    return theme.record ? theme.record->at("theme name").stringValue() : "(none)";
}

TEST(TodaysTheme, ASpecialDayWinsAndTheMonthListServesTheRest) {
    const auto special = specials({{"05-17", named("birthday")}});
    EXPECT_EQ(nameOf(themeForDay(monthOf(31), special, "05-17")), "birthday");
    EXPECT_TRUE(themeForDay(monthOf(31), special, "05-17").specialDay);
    EXPECT_EQ(nameOf(themeForDay(monthOf(31), special, "05-18")), "day 18");
    EXPECT_EQ(nameOf(themeForDay(std::nullopt, special, "05-17")), "birthday");
    EXPECT_EQ(nameOf(themeForDay(monthOf(31), std::nullopt, "01-01")), "day 1");
}

TEST(TodaysTheme, NoRecordWhenTheFilesCannotAnswerTheDay) {
    EXPECT_EQ(nameOf(themeForDay(monthOf(30), std::nullopt, "05-31")), "(none)");
    EXPECT_THAT(themeForDay(monthOf(30), std::nullopt, "05-31").problems,
                ::testing::ElementsAre(::testing::HasSubstr("fewer than the day")));
    EXPECT_EQ(nameOf(themeForDay(std::nullopt, std::nullopt, "05-17")), "(none)");
    // A special-day entry that is no record falls through to the month.
    EXPECT_EQ(nameOf(themeForDay(monthOf(31), specials({{"05-17", "text"}}), "05-17")), "day 17");
    EXPECT_EQ(
        nameOf(themeForDay(PlistDictionary{{kMonthOfThemeItemsKey, "x"}}, std::nullopt, "05-17")),
        "(none)");
}

TEST(TodaysTheme, ShapeChecksNameWhatIsWrong) {
    EXPECT_TRUE(monthFileProblems(monthOf(31)).empty());
    EXPECT_EQ(monthFileProblems(PlistDictionary{}).size(), 1u);
    PlistDictionary mixed = monthOf(2);
    mixed[kMonthOfThemeItemsKey].mutableArray().emplace_back("three");
    EXPECT_THAT(monthFileProblems(mixed), ::testing::ElementsAre(::testing::HasSubstr("record 3")));

    EXPECT_TRUE(specialDayFileProblems(specials({{"02-29", named("leap")}})).empty());
    EXPECT_EQ(specialDayFileProblems(PlistDictionary{{kSpecialDayThemeItemsKey, "x"}}).size(), 1u);
    EXPECT_EQ(specialDayFileProblems(specials({{"2013-05-17", named("a")}, {"05-18", 5}})).size(),
              2u);
}

TEST(PlistDescription, ShowsNestedValuesReadably) {
    const PlistValue value(PlistDictionary{
        {"a list", PlistArray{"x", 2}}, {"plain", "text"}, {"url", "http://h/a b"}});
    EXPECT_EQ(describePlist(value),
              "{\n    \"a list\" = (\n        x,\n        2\n    );\n    plain = text;\n"
              "    url = \"http://h/a b\";\n}");
}

}  // namespace
}  // namespace qp
