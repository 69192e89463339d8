// `quillpost compose --theme C/I` and the editor's share render the same
// square for every bundled theme: pixel for pixel when both decode the
// photo at the same size, within 45 dB when the command line decodes a
// large JPEG shrunk on load.

#include <gtest/gtest.h>

#include <fmt/format.h>

#include <QColorSpace>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "cli/ComposeCommand.h"
#include "editor/ThemeCategory.h"
#include "editor/ui/EditorFixture.h"
#include "platform/ui/Button.h"
#include "platform/ui/TextView.h"
#include "support/WidgetInput.h"

namespace qp {
namespace {

namespace fs = std::filesystem;

constexpr const char* kDevice = "iphone-retina";
constexpr const char* kMessage = "Greetings from the coast,\nsee you soon!";

// A photo with something in every part: gradients and a few shapes.
QImage scene(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            row[x] = qRgb(40 + 180 * x / width, 60 + 150 * y / height, 200 - 120 * x / width);
        }
    }
    QPainter painter(&image);
    painter.setBrush(QColor(250, 220, 60));
    painter.drawEllipse(QRectF(width * 0.6, height * 0.15, width * 0.2, width * 0.2));
    painter.fillRect(QRectF(0, height * 0.7, width, height * 0.3), QColor(30, 70, 50));
    return image;
}

double psnr(const QImage& a, const QImage& b) {
    const QImage x = a.convertToFormat(QImage::Format_ARGB32);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32);
    double squared = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
        const auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col) {
            for (int d : {qRed(p[col]) - qRed(q[col]), qGreen(p[col]) - qGreen(q[col]),
                          qBlue(p[col]) - qBlue(q[col])}) {
                squared += double(d) * d;
            }
        }
    }
    if (squared == 0) return INFINITY;
    const double mse = squared / (3.0 * x.width() * x.height());
    return 10 * std::log10(255.0 * 255.0 / mse);
}

// The command line's result for one theme, as a PNG read back.
QImage composed(const fs::path& photo, const fs::path& out, int category, int index) {
    ComposeOptions options;
    options.photos = {photo.string()};
    options.output = out.string();
    options.format = "png";
    options.force = true;
    options.device = kDevice;
    options.theme = fmt::format("{}/{}", category, index);
    options.message = kMessage;
    options.resources = QP_RESOURCES;
    char* errText = nullptr;
    std::size_t errSize = 0;
    std::FILE* err = open_memstream(&errText, &errSize);
    std::FILE* sink = std::fopen("/dev/null", "w");
    const int status = runCompose(options, {sink, err, false});
    std::fclose(err);
    std::fclose(sink);
    EXPECT_EQ(status, kComposeSucceeded) << errText;
    std::free(errText);
    // The file says its pixels are sRGB; the editor's image carries no such
    // label. Only the pixels are compared.
    QImage image(QString::fromStdString(out.string()));
    image.setColorSpace(QColorSpace());
    return image.convertToFormat(QImage::Format_ARGB32);
}

struct Case {
    const char* name;
    QSize size;
    const char* format;
    bool sameDecode;  // both read the photo at the same size
};

TEST(ComposeMatchesEditor, EveryBundledThemeRendersTheSameSquare) {
    const Case cases[] = {
        {"png", {900, 600}, "PNG", true},
        // A JPEG too small to shrink on load for the retina square.
        {"small jpeg", {1000, 800}, "JPG", true},
        // Shrunk on load by the command line, decoded whole by the editor.
        {"large jpeg", {2600, 1800}, "JPG", false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        test::EditorFixture f(kDevice);
        QuillpostVC& editor = f.load();
        const fs::path photo =
            f.library() / fmt::format("scene.{}", QString(k.format).toLower().toStdString());
        ASSERT_TRUE(scene(k.size.width(), k.size.height())
                        .save(QString::fromStdString(photo.string()), k.format, 100));
        ASSERT_TRUE(editor.placePhotoFile(photo));
        auto* text = dynamic_cast<TextView*>(editor.outlet("editableTextView"));
        editor.textViewShouldBeginEditing(*text);
        text->setText(QString::fromUtf8(kMessage));
        editor.textViewDidChange(*text);

        const fs::path resources = QP_RESOURCES;
        int themes = 0;
        for (int n : bundledCategoryNumbers(resources)) {
            const std::optional<ThemeCategory> category = readThemeCategory(resources, n);
            ASSERT_TRUE(category);
            test::tap(
                test::buttonWithTag(editor.categoryStrip()->contentView(), categoryButtonTag(n)));
            for (int i = 0; i < int(category->items.size()); ++i) {
                SCOPED_TRACE(fmt::format("theme {}/{}", n, i));
                Button* themeButton =
                    test::buttonWithTag(editor.themeStrip()->contentView(), themeButtonTag(n, i));
                ASSERT_NE(themeButton, nullptr);
                test::tap(themeButton);
                editor.actionShareButton(nullptr);
                ASSERT_TRUE(editor.theShareImage());
                const QImage shared =
                    editor.theShareImage()->bitmap().convertToFormat(QImage::Format_ARGB32);
                f.queue.advance(std::chrono::seconds(1));
                if (editor.presentedViewController()) {
                    editor.presentedViewController()->dismissViewControllerAnimated(false);
                }

                const QImage fromCommandLine =
                    composed(photo, f.home.path() / "composed.png", n, i);
                ASSERT_EQ(fromCommandLine.size(), shared.size());
                if (k.sameDecode) {
                    EXPECT_EQ(fromCommandLine, shared) << "PSNR " << psnr(fromCommandLine, shared);
                } else {
                    EXPECT_GE(psnr(fromCommandLine, shared), 45.0);
                }
                ++themes;
            }
        }
        EXPECT_GT(themes, 0);
    }
}

}  // namespace
}  // namespace qp
