// The report's figures on a known set of sessions, as numbers, JSON and a
// chart.

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include "json/JsonConveniences.h"
#include "service/ServiceSamples.h"
#include "service/SqliteStore.h"
#include "service/UsageChart.h"
#include "service/UsageFiguresJson.h"
#include "support/TempFolder.h"

using namespace qp;
using namespace qp::test;

namespace {

// Three days: two sessions on the 1st (iPad 16.1, iPhone 16.1), none on the
// 2nd, three on the 3rd (iPad 15.0 twice, one without device events).
UsageFigures knownFigures(const std::filesystem::path& file) {
    auto store = SqliteStore::open(file).value();
    std::vector<SessionRecord> sessions;
    const auto add = [&](const std::string& id, int events, std::int64_t start,
                         const char* deviceClass, const char* version) {
        SessionRecord record = session(id, events, std::nullopt, start);
        if (deviceClass) addDeviceEvents(record, deviceClass, version);
        sessions.push_back(record);
    };
    add("s1", 3, kDecemberFirst + 1000, "iPad", "16.1");
    add("s2", 1, kDecemberFirst + kDay - 1, "iPhone", "16.1");
    add("s3", 0, kDecemberFirst + 2 * kDay, "iPad", "15.0");
    add("s4", 2, kDecemberFirst + 2 * kDay + 5, "iPad", "15.0");
    add("s5", 0, kDecemberFirst + 3 * kDay - 1, nullptr, nullptr);
    EXPECT_TRUE(store->storeReport(prepared(sessions)).ok());
    // A repeat of the first two changes nothing.
    EXPECT_TRUE(store->storeReport(prepared({sessions[0], sessions[1]})).ok());
    return store->figures().value();
}

class UsageFiguresTest : public ::testing::Test {
protected:
    TempFolder folder;
    UsageFigures figures = knownFigures(folder.path() / "db.sqlite");
};

}  // namespace

TEST_F(UsageFiguresTest, CountsSessionsEventsDaysAndBreakdowns) {
    EXPECT_EQ(figures.sessions, 5);
    EXPECT_EQ(figures.events, 3 + 1 + 2 + 4 * 4);
    EXPECT_EQ(figures.sessionsPerDay,
              (std::vector<NamedCount>{{"2026-12-01", 2}, {"2026-12-03", 3}}));
    EXPECT_EQ(figures.deviceClasses, (std::vector<NamedCount>{{"iPad", 3}, {"iPhone", 1}}));
    EXPECT_EQ(figures.systemVersions, (std::vector<NamedCount>{{"15.0", 2}, {"16.1", 2}}));
    ASSERT_EQ(figures.topEvents.size(), 7u);
    EXPECT_EQ(figures.topEvents[0], (NamedCount{"1-Device:", 4}));
    EXPECT_EQ(figures.topEvents[4], (NamedCount{"e0", 3}));
    EXPECT_EQ(figures.topEvents[5], (NamedCount{"e1", 2}));
    EXPECT_EQ(figures.topEvents[6], (NamedCount{"e2", 1}));
}

TEST(UsageFiguresTop, KeepsOnlyTheMostCountedNames) {
    TempFolder folder;
    auto store = SqliteStore::open(folder.path() / "db.sqlite").value();
    EXPECT_TRUE(store->storeReport(prepared({session("a", 30)})).ok());
    const UsageFigures figures = store->figures().value();
    EXPECT_EQ(figures.topEvents.size(), kTopEventCount);
    EXPECT_EQ(figures.events, 30);
}

TEST_F(UsageFiguresTest, JsonHasIntegerTotalsAndTheBreakdowns) {
    const std::optional<JsonValue> json = JSONValue(usageFiguresJson(figures));
    ASSERT_TRUE(json && json->isObject());
    EXPECT_EQ(json->find("sessions")->number()->toInt64(), 5);
    EXPECT_EQ(json->find("events")->number()->toInt64(), 22);
    const JsonValue* days = json->find("sessions_per_day");
    ASSERT_TRUE(days && days->isArray());
    EXPECT_EQ(*days->at(1)->find("day")->string(), "2026-12-03");
    EXPECT_EQ(days->at(1)->find("sessions")->number()->toInt64(), 3);
    EXPECT_EQ(*json->find("device_classes")->at(0)->find("name")->string(), "iPad");
    EXPECT_EQ(*json->find("top_events")->at(0)->find("name")->string(), "1-Device:");
    EXPECT_TRUE(json->find("system_versions")->isArray());
}

TEST_F(UsageFiguresTest, ChartIsWrittenAsAReadablePngWithBothParts) {
    const std::filesystem::path file = folder.path() / "chart.png";
    ASSERT_TRUE(writeUsageChart(figures, file).ok());
    const QImage chart(QString::fromStdString(file.string()));
    ASSERT_FALSE(chart.isNull());
    EXPECT_EQ(chart.size(), QSize(kChartWidth, kChartHeight));
    // The day columns stand in the upper half, the event bars in the lower.
    const auto holds = [&](QColor colour, int top, int bottom) {
        for (int y = top; y < bottom; ++y) {
            for (int x = 0; x < chart.width(); ++x) {
                if (chart.pixelColor(x, y) == colour) return true;
            }
        }
        return false;
    };
    EXPECT_TRUE(holds(QColor(0x3b, 0x7d, 0xd8), 0, kChartHeight / 2));
    EXPECT_TRUE(holds(QColor(0xe0, 0x8a, 0x2c), kChartHeight / 2, kChartHeight));
    EXPECT_FALSE(holds(QColor(0xe0, 0x8a, 0x2c), 0, kChartHeight / 2));

    EXPECT_FALSE(writeUsageChart(figures, folder.path() / "no" / "chart.png").ok());
}

TEST(UsageChart, AnEmptyStoreStillDrawsAChart) {
    const QImage chart = drawUsageChart(UsageFigures{});
    EXPECT_EQ(chart.size(), QSize(kChartWidth, kChartHeight));
}
