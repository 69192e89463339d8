// The report's figures on a known set of sessions as JSON and a chart (the
// numbers themselves are checked against every store in AnalyticsStoreTest).

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

UsageFigures knownFigures(const std::filesystem::path& file) {
    auto store = SqliteStore::open(file).value();
    storeKnownSessions(*store);
    return store->figures().value();
}

class UsageFiguresTest : public ::testing::Test {
protected:
    TempFolder folder;
    UsageFigures figures = knownFigures(folder.path() / "db.sqlite");
};

}  // namespace

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
