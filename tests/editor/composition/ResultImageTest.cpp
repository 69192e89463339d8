#include <gmock/gmock.h>

#include <QFile>
#include <filesystem>

#include "editor/composition/Composition.h"
#include "editor/composition/CompositionConstants.h"
#include "editor/composition/CompositionTestSupport.h"
#include "editor/composition/ResultFile.h"
#include "imaging/LayerRenderer.h"
#include "imaging/PhotoIO.h"

namespace qp {
namespace {

using test::profile;
using test::solidImage;

QColor pixel(const Image& image, int x, int y) {
    return image.bitmap().pixelColor(x, y);
}

bool near(QColor a, QColor b, int tolerance = 3) {
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance &&
           std::abs(a.alpha() - b.alpha()) <= tolerance;
}

TEST(ResultImage, IsAlways612SquareOnEveryDeviceProfile) {
    for (const DeviceProfile& device : deviceProfiles()) {
        Composition c(device);
        c.applyTheme(test::photoTheme(), solidImage(4, 4, Qt::white), std::nullopt);
        ASSERT_TRUE(c.placement().importPhoto(solidImage(612, 612, Qt::red)).ok());
        ASSERT_TRUE(c.placement().pinchDetected(0.5));
        const std::optional<Image> result = c.makeResultImage(true);
        ASSERT_TRUE(result) << device.name;
        EXPECT_EQ(result->width(), kResultSide) << device.name;
        EXPECT_EQ(result->height(), kResultSide) << device.name;
        // The 612 photo fills the square's centre half: white at the edge,
        // red in the middle, whatever the snapshot's own size was.
        EXPECT_TRUE(near(pixel(*result, 5, 306), Qt::white)) << device.name;
        EXPECT_TRUE(near(pixel(*result, 306, 306), Qt::red)) << device.name;
        EXPECT_TRUE(near(pixel(*result, 100, 100), Qt::white)) << device.name;
        EXPECT_TRUE(near(pixel(*result, 200, 200), Qt::red)) << device.name;
    }
}

TEST(ResultImage, HalfPixelEdgesOfTheFitAreBlendedNotShifted) {
    Composition c(profile("iphone-4in"));
    c.applyTheme(test::photoTheme(), std::nullopt, std::nullopt);
    // 4:3 fitted to 612 × 459 result pixels: edges at y = 76.5 and 535.5.
    ASSERT_TRUE(c.placement().importPhoto(solidImage(800, 600, Qt::black)).ok());
    const std::optional<Image> result = c.makeResultImage(true);
    ASSERT_TRUE(result);
    EXPECT_EQ(pixel(*result, 300, 75), QColor(Qt::white));
    EXPECT_NEAR(pixel(*result, 300, 76).red(), 128, 20);
    EXPECT_TRUE(near(pixel(*result, 300, 77), Qt::black));
    EXPECT_TRUE(near(pixel(*result, 300, 534), Qt::black));
    EXPECT_NEAR(pixel(*result, 300, 535).red(), 128, 20);
    EXPECT_EQ(pixel(*result, 300, 536), QColor(Qt::white));
}

TEST(ResultImage, ThemeWithoutPhotoSlotGivesTransparentCanvas) {
    Composition c(profile("iphone-4in"));
    ThemeSettings noSlot;
    c.applyTheme(noSlot, solidImage(4, 4, Qt::black), std::nullopt);
    ASSERT_TRUE(c.placement().importPhoto(solidImage(612, 612, Qt::red)).ok());
    const std::optional<Image> result = c.makeResultImage(true);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->width(), kResultSide);
    for (int y : {0, 306, 611}) {
        for (int x : {0, 306, 611}) EXPECT_EQ(pixel(*result, x, y).alpha(), 0);
    }
}

TEST(ResultImage, GridIsShownOnScreenButNeverInTheResult) {
    Composition c(profile("iphone-4in"));
    c.applyTheme(test::photoTheme(), solidImage(4, 4, Qt::black), std::nullopt);
    const Layer& grid = c.previewSquare().gridLayer();
    ASSERT_FALSE(grid.isHidden());
    const std::optional<Image> result = c.makeResultImage(true);
    ASSERT_TRUE(result);
    EXPECT_FALSE(grid.isHidden());
    // A third of the way across, where the grid draws its lines.
    for (int y = 0; y < kResultSide; y += 17) {
        EXPECT_TRUE(near(pixel(*result, 203, y), Qt::black)) << y;
        EXPECT_TRUE(near(pixel(*result, 204, y), Qt::black)) << y;
    }
    // The same square with the grid shown does differ there, so the check
    // above can fail.
    const std::optional<Image> onScreen =
        renderLayer(c.previewSquare().root(), c.previewSquare().bounds(), 2, Qt::white);
    EXPECT_FALSE(near(pixel(*onScreen, 203, 300), Qt::black) &&
                 near(pixel(*onScreen, 204, 300), Qt::black));
}

TEST(ResultImage, StackingIsBackgroundPhotoTextGrid) {
    const Composition c(profile("iphone"));
    const Layer& root = c.previewSquare().root();
    ASSERT_EQ(root.sublayers().size(), 4u);
    EXPECT_EQ(root.sublayers()[0]->name(), kBackgroundLayerName);
    EXPECT_EQ(root.sublayers()[1]->name(), kPhotoLayerName);
    EXPECT_EQ(root.sublayers()[2]->name(), kTextLayerName);
    EXPECT_EQ(root.sublayers()[3]->name(), kGridLayerName);
    EXPECT_TRUE(root.masksToBounds());
}

TEST(ResultImage, PhotoMovedOutOfTheSquareIsClipped) {
    Composition c(profile("iphone-4in"));
    c.applyTheme(test::photoTheme(), solidImage(4, 4, Qt::white), std::nullopt);
    ASSERT_TRUE(c.placement().importPhoto(solidImage(612, 612, Qt::red)).ok());
    c.placement().panDetected({250, 0});
    const std::optional<Image> result = c.makeResultImage(true);
    ASSERT_TRUE(result);
    EXPECT_TRUE(near(pixel(*result, 611, 306), Qt::red));
    EXPECT_TRUE(near(pixel(*result, 100, 306), Qt::white));
}

TEST(HandOffFile, IsJpegAndReplacedAtomically) {
    test::TempFolder documents;
    const Image first = solidImage(kResultSide, kResultSide, Qt::red);
    const Image second = solidImage(kResultSide, kResultSide, Qt::blue);
    Result<std::filesystem::path> path = writeHandOffFile(first, documents.path());
    ASSERT_TRUE(path.ok());
    EXPECT_EQ(path->filename(), kHandOffFileName);
    ASSERT_TRUE(writeHandOffFile(second, documents.path()).ok());
    Result<Image> read = readPhoto(path->string());
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read->width(), kResultSide);
    EXPECT_TRUE(near(pixel(*read, 300, 300), Qt::blue));
    // Only the file itself is left: no temporary beside it.
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(documents.path())) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 1);
}

TEST(HandOffFile, TransparentResultIsFlattenedOnWhite) {
    test::TempFolder documents;
    Composition c(profile("iphone-4in"));
    c.applyTheme(ThemeSettings{}, std::nullopt, std::nullopt);
    const std::optional<Image> result = c.makeResultImage(true);
    ASSERT_TRUE(result);
    Result<std::filesystem::path> path = writeHandOffFile(*result, documents.path());
    ASSERT_TRUE(path.ok());
    Result<Image> read = readPhoto(path->string());
    ASSERT_TRUE(read.ok());
    EXPECT_TRUE(near(pixel(*read, 10, 10), Qt::white));
    // PNG keeps the transparency.
    Result<QByteArray> png = encodeResult(*result, ResultFormat::Png);
    ASSERT_TRUE(png.ok());
    Result<Image> decoded = decodePhoto(*png);
    ASSERT_TRUE(decoded.ok());
    EXPECT_EQ(pixel(*decoded, 10, 10).alpha(), 0);
}

TEST(HandOffFile, UnwritableFolderIsAnError) {
    EXPECT_FALSE(writeHandOffFile(solidImage(4, 4, Qt::red), "/nonexistent/qp/Documents").ok());
}

}  // namespace
}  // namespace qp
