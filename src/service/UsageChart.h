#pragma once
// The figures as a picture: sessions per day as columns above, the top events
// as bars below. Qt Gui only; text needs a QGuiApplication to exist.

#include <QImage>

#include <filesystem>

#include "platform/Result.h"
#include "service/UsageFigures.h"

namespace qp {

inline constexpr int kChartWidth = 960;
inline constexpr int kChartHeight = 720;

QImage drawUsageChart(const UsageFigures& figures);

// Draws the chart and writes it to `file` as PNG.
Result<void> writeUsageChart(const UsageFigures& figures, const std::filesystem::path& file);

}  // namespace qp
