#include "service/UsageChart.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

#include "service/ServiceErrors.h"

namespace qp {
namespace {

constexpr int kMargin = 32;
constexpr int kTitleHeight = 28;
constexpr int kLabelHeight = 22;
const QColor kBackground(0xff, 0xff, 0xff);
const QColor kInk(0x22, 0x22, 0x22);
const QColor kGrid(0xdd, 0xdd, 0xdd);
const QColor kDayBar(0x3b, 0x7d, 0xd8);
const QColor kEventBar(0xe0, 0x8a, 0x2c);

std::int64_t largest(const std::vector<NamedCount>& counts) {
    std::int64_t most = 0;
    for (const NamedCount& entry : counts) most = std::max(most, entry.count);
    return most;
}

void drawTitle(QPainter& painter, const QRect& area, const QString& title) {
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(18);
    painter.setFont(font);
    painter.setPen(kInk);
    painter.drawText(area.left(), area.top(), area.width(), kTitleHeight,
                     Qt::AlignLeft | Qt::AlignVCenter, title);
}

void useLabelFont(QPainter& painter) {
    QFont font = painter.font();
    font.setBold(false);
    font.setPixelSize(12);
    painter.setFont(font);
}

void drawEmpty(QPainter& painter, const QRect& area) {
    painter.setPen(kInk);
    painter.drawText(area, Qt::AlignCenter, QStringLiteral("No sessions stored yet"));
}

void drawSessionsPerDay(QPainter& painter, const QRect& area, const std::vector<NamedCount>& days) {
    drawTitle(painter, area, QStringLiteral("Sessions per day"));
    useLabelFont(painter);
    const QRect plot = area.adjusted(0, kTitleHeight + kLabelHeight, 0, -kLabelHeight);
    if (days.empty()) return drawEmpty(painter, plot);
    const std::int64_t most = largest(days);
    painter.setPen(kGrid);
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());

    const double slot = static_cast<double>(plot.width()) / static_cast<double>(days.size());
    const QFontMetrics metrics(painter.font());
    // Only as many day labels as fit side by side.
    const int labelWidth = metrics.horizontalAdvance(QStringLiteral("0000-00-00")) + 8;
    const std::size_t labelEvery =
        std::max<std::size_t>(1, static_cast<std::size_t>(labelWidth / std::max(slot, 1.0)) + 1);
    for (std::size_t i = 0; i < days.size(); ++i) {
        const double left = plot.left() + slot * static_cast<double>(i);
        const int height =
            static_cast<int>(static_cast<double>(plot.height()) *
                             static_cast<double>(days[i].count) / static_cast<double>(most));
        const QRectF bar(left + slot * 0.15, plot.bottom() - height, slot * 0.7, height);
        painter.fillRect(bar, kDayBar);
        painter.setPen(kInk);
        if (slot >= 24) {
            painter.drawText(QRectF(left, bar.top() - kLabelHeight, slot, kLabelHeight),
                             Qt::AlignHCenter | Qt::AlignBottom, QString::number(days[i].count));
        }
        if (i % labelEvery == 0) {
            painter.drawText(QRectF(left + slot / 2 - labelWidth / 2.0, plot.bottom() + 2,
                                    labelWidth, kLabelHeight),
                             Qt::AlignHCenter | Qt::AlignTop, QString::fromStdString(days[i].name));
        }
    }
}

void drawTopEvents(QPainter& painter, const QRect& area, const std::vector<NamedCount>& events) {
    drawTitle(painter, area, QStringLiteral("Top events"));
    useLabelFont(painter);
    const QRect plot = area.adjusted(0, kTitleHeight + 8, 0, 0);
    if (events.empty()) return drawEmpty(painter, plot);
    const std::int64_t most = largest(events);
    const int nameWidth = plot.width() / 3;
    const int countWidth = 64;
    const double row = static_cast<double>(plot.height()) / static_cast<double>(events.size());
    const QFontMetrics metrics(painter.font());
    for (std::size_t i = 0; i < events.size(); ++i) {
        const double top = plot.top() + row * static_cast<double>(i);
        const QString name = metrics.elidedText(QString::fromStdString(events[i].name),
                                                Qt::ElideRight, nameWidth - 8);
        painter.setPen(kInk);
        painter.drawText(QRectF(plot.left(), top, nameWidth - 8, row),
                         Qt::AlignRight | Qt::AlignVCenter, name);
        const double span = plot.width() - nameWidth - countWidth;
        const double length =
            span * static_cast<double>(events[i].count) / static_cast<double>(most);
        painter.fillRect(QRectF(plot.left() + nameWidth, top + row * 0.15, length, row * 0.7),
                         kEventBar);
        painter.drawText(QRectF(plot.left() + nameWidth + length + 6, top, countWidth, row),
                         Qt::AlignLeft | Qt::AlignVCenter, QString::number(events[i].count));
    }
}

}  // namespace

QImage drawUsageChart(const UsageFigures& figures) {
    QImage image(kChartWidth, kChartHeight, QImage::Format_RGB32);
    image.fill(kBackground);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QRect inside = image.rect().adjusted(kMargin, kMargin, -kMargin, -kMargin);
    const int half = inside.height() / 2;
    drawSessionsPerDay(painter, QRect(inside.left(), inside.top(), inside.width(), half - 16),
                       figures.sessionsPerDay);
    drawTopEvents(painter,
                  QRect(inside.left(), inside.top() + half + 16, inside.width(), half - 16),
                  figures.topEvents);
    painter.end();
    return image;
}

Result<void> writeUsageChart(const UsageFigures& figures, const std::filesystem::path& file) {
    const QImage chart = drawUsageChart(figures);
    if (!chart.save(QString::fromStdString(file.string()), "PNG")) {
        return serviceError(ServiceErrorCode::OutputFailed,
                            "Cannot write the chart to " + file.string() +
                                "; check that its folder exists and is writable");
    }
    return {};
}

}  // namespace qp
