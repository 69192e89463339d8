// The contact sheet: every bundled theme's results with the three sample
// photos, grouped by category, three themes to a row.

#include <QFont>

#include "Art.h"

namespace art {

namespace {

constexpr int kTile = 180;   // one result, scaled down
constexpr int kTileGap = 6;  // between the results of one theme
constexpr int kThemesPerRow = 3;
constexpr int kThemeGap = 22;  // between themes in a row
constexpr int kMargin = 20;
constexpr int kLabelHeight = 20;
constexpr int kRowGap = 14;
constexpr int kHeaderHeight = 34;
constexpr int kTitleHeight = 44;

constexpr int kCellWidth = 3 * kTile + 2 * kTileGap;
constexpr int kCellHeight = kLabelHeight + kTile;
constexpr int kSheetWidth =
    2 * kMargin + kThemesPerRow * kCellWidth + (kThemesPerRow - 1) * kThemeGap;

const char* const kSampleStems[] = {"landscape", "portrait", "square"};

int rowsOf(const CategoryArt& category) {
    return (int(category.themes.size()) + kThemesPerRow - 1) / kThemesPerRow;
}

QFont labelFont(int pixels, bool bold) {
    QFont font("DejaVu Sans");
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

}  // namespace

QImage drawContactSheet(const std::vector<CategoryArt>& all, const std::string& folder,
                        std::string& missing) {
    int height = kMargin + kTitleHeight;
    for (const CategoryArt& category : all) {
        height += kHeaderHeight + rowsOf(category) * (kCellHeight + kRowGap);
    }
    height += kMargin;

    QImage sheet(kSheetWidth, height, QImage::Format_RGB32);
    sheet.fill(QColor(238, 236, 232));
    QPainter p(&sheet);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setRenderHint(QPainter::TextAntialiasing);

    p.setPen(QColor(30, 30, 34));
    p.setFont(labelFont(22, true));
    p.drawText(QRectF(kMargin, kMargin, kSheetWidth - 2 * kMargin, kTitleHeight),
               Qt::AlignLeft | Qt::AlignTop,
               "Bundled themes: a 3:2 landscape, a 2:3 portrait and a square photo, each fitted "
               "whole");

    int y = kMargin + kTitleHeight;
    for (std::size_t n = 0; n < all.size(); ++n) {
        const CategoryArt& category = all[n];
        p.setPen(QColor(30, 30, 34));
        p.setFont(labelFont(18, true));
        p.drawText(QRectF(kMargin, y, kSheetWidth, kHeaderHeight), Qt::AlignLeft | Qt::AlignVCenter,
                   QString::asprintf("%d  ", int(n)) + QString::fromStdString(category.name));
        y += kHeaderHeight;
        for (std::size_t i = 0; i < category.themes.size(); ++i) {
            const int column = int(i) % kThemesPerRow;
            const int x = kMargin + column * (kCellWidth + kThemeGap);
            p.setPen(QColor(70, 70, 76));
            p.setFont(labelFont(13, false));
            p.drawText(QRectF(x, y, kCellWidth, kLabelHeight), Qt::AlignLeft | Qt::AlignTop,
                       QString::asprintf("%d/%d  ", int(n), int(i)) +
                           QString::fromStdString(category.themes[i].name));
            for (int s = 0; s < 3; ++s) {
                const QString file = QString::fromStdString(folder) +
                                     QString::asprintf("/%d_%d/", int(n), int(i)) +
                                     kSampleStems[s] + "-square.jpg";
                const QImage result(file);
                if (result.isNull()) {
                    missing = file.toStdString();
                    return {};
                }
                p.drawImage(QRectF(x + s * (kTile + kTileGap), y + kLabelHeight, kTile, kTile),
                            result);
            }
            if (column == kThemesPerRow - 1 || i + 1 == category.themes.size()) {
                y += kCellHeight + kRowGap;
            }
        }
    }
    return sheet;
}

}  // namespace art
