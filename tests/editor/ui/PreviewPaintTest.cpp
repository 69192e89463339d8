// The preview square's paint keeps the layers that do not move as bitmaps:
// whatever happened to the photo, the text or the theme, a frame must show
// what the whole tree drawn straight shows, at the device's pixels.

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <functional>
#include <string>

#include "editor/composition/CompositionConstants.h"
#include "editor/ui/LayerLooks.h"
#include "editor/ui/PreviewSquareView.h"
#include "imaging/LayerRenderer.h"
#include "platform/DeviceProfile.h"

namespace qp {
namespace {

QImage gradient(int width, int height, int seed) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            row[x] = qRgb((x * 255 / width + seed) % 256, (y * 255 / height) % 256,
                          (x * 7 + y * 13 + seed) % 256);
        }
    }
    return image;
}

// Mostly transparent, like the message canvas: a translucent band.
QImage textCanvas(QColor colour) {
    QImage canvas(kResultSide, kResultSide, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    painter.fillRect(QRect(40, 520, 300, 60), colour);
    return canvas;
}

// A square as the editor holds it: theme art, a placed photo, a message.
struct Square {
    explicit Square(const char* device) {
        view.resetComposition(*deviceProfileNamed(device));
        const int side = static_cast<int>(view.composition().squareSide());
        view.resize(side, side);
        ThemeSettings theme;
        theme.photoEnabled = true;
        Composition& c = view.composition();
        c.applyTheme(theme, Image(gradient(120, 90, 0)), std::nullopt);
        EXPECT_TRUE(c.placement().importPhoto(Image(gradient(900, 700, 90))).ok());
        c.previewSquare().textLayer().setImage(Image(textCanvas(QColor(200, 30, 30, 160))));
    }
    Composition& c() { return view.composition(); }

    PreviewSquareView view;
};

QImage onWhite(const Composition& c) {
    const double scale = c.screenScale();
    const int side = int(std::lround(c.squareSide() * scale));
    QImage target(side, side, QImage::Format_ARGB32_Premultiplied);
    target.fill(Qt::white);
    target.setDevicePixelRatio(scale);
    return target;
}

// The frame as the widget paints it, at the device's pixel ratio.
QImage painted(Square& s) {
    QImage target = onWhite(s.c());
    s.view.render(&target, QPoint(), QRegion(), QWidget::DrawChildren);
    return target;
}

// The whole tree drawn straight, as the share's snapshot draws it.
QImage straight(const Composition& c) {
    QImage target = onWhite(c);
    QPainter painter(&target);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::Antialiasing);
    renderInContext(c.previewSquare().root(), painter);
    return target;
}

int largestDifference(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return 256;
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto* p = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* q = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            largest = std::max(
                {largest, std::abs(qRed(p[x]) - qRed(q[x])), std::abs(qGreen(p[x]) - qGreen(q[x])),
                 std::abs(qBlue(p[x]) - qBlue(q[x])), std::abs(qAlpha(p[x]) - qAlpha(q[x]))});
        }
    }
    return largest;
}

// Blending the front layers through a bitmap of their own may round a
// channel differently by one step.
constexpr int kRounding = 2;

struct Change {
    const char* name;
    std::function<void(Composition&)> apply;
};

TEST(PreviewPaint, EveryFrameShowsTheTreeAsItStands) {
    const Change changes[] = {
        {"fitted", [](Composition&) {}},
        {"panned",
         [](Composition& c) {
             c.placement().panDetected({23.5, -11.25});
         }},
        {"pinched in past the reduced copies",
         [](Composition& c) {
             c.placement().touchesBegan();
             c.placement().pinchDetected(1.9);
         }},
        // Covering the square, an opaque photo hides what lies behind it;
        // a see-through one does not.
        {"see-through photo over the square",
         [](Composition& c) {
             QImage glass(900, 700, QImage::Format_ARGB32_Premultiplied);
             glass.fill(QColor(0, 0, 120, 120));
             c.previewSquare().photoLayer().setImage(Image(glass));
         }},
        {"photo half transparent",
         [](Composition& c) {
             c.previewSquare().photoLayer().setImage(Image(gradient(900, 700, 90)));
             c.previewSquare().photoLayer().setOpacity(0.5);
         }},
        {"photo opaque again",
         [](Composition& c) { c.previewSquare().photoLayer().setOpacity(1); }},
        {"turned and pinched out",
         [](Composition& c) {
             c.placement().rotationDetected(0.4);
             c.placement().pinchDetected(0.6);
         }},
        {"mirrored", [](Composition& c) { c.placement().actionFlipPhotoImage(); }},
        {"new message",
         [](Composition& c) {
             c.previewSquare().textLayer().setImage(Image(textCanvas(QColor(20, 200, 90, 220))));
         }},
        {"message hidden", [](Composition& c) { c.previewSquare().textLayer().setHidden(true); }},
        {"new theme art",
         [](Composition& c) { c.showBackgroundArt(Image(gradient(80, 120, 40))); }},
        {"art moved",
         [](Composition& c) {
             c.previewSquare().backgroundLayer().setFrame({-20, -10, 350, 330});
         }},
        {"grid hidden", [](Composition& c) { c.previewSquare().gridLayer().setHidden(true); }},
        {"grid line turned translucent",
         [](Composition& c) {
             c.previewSquare().gridLayer().sublayers().front()->setOpacity(0.3);
         }},
        {"photo hidden", [](Composition& c) { c.previewSquare().photoLayer().setHidden(true); }},
    };
    for (const char* device : {"iphone-4in", "iphone", "ipad-retina"}) {
        SCOPED_TRACE(device);
        Square s(device);
        // One square through every change in turn, so each frame meets the
        // bitmaps the frame before left behind.
        for (const Change& change : changes) {
            SCOPED_TRACE(change.name);
            change.apply(s.c());
            EXPECT_LE(largestDifference(painted(s), straight(s.c())), kRounding);
        }
    }
}

// On a phone with a two-fold screen the snapshot is the result itself: the
// square on screen, grid hidden, is the shared picture.
TEST(PreviewPaint, TheSquareOnScreenIsTheSharedPicture) {
    Square s("iphone-4in");
    s.c().placement().touchesBegan();
    s.c().placement().rotationDetected(-0.25);
    s.c().placement().pinchDetected(1.4);
    s.c().placement().panDetected({-30, 12});
    painted(s);
    s.c().previewSquare().gridLayer().setHidden(true);
    const std::optional<Image> result = s.c().makeResultImage(true);
    ASSERT_TRUE(result);
    ASSERT_EQ(result->width(), kResultSide);
    EXPECT_LE(largestDifference(painted(s), result->bitmap().convertToFormat(
                                                QImage::Format_ARGB32_Premultiplied)),
              kRounding);
}

TEST(PreviewPaint, GesturesRedrawOnlyThePhoto) {
    Square s("ipad-retina");
    painted(s);
    const int stillRenders = s.view.paintCache().stillRenders();
    s.c().placement().touchesBegan();
    for (int i = 0; i < 5; ++i) {
        s.c().placement().panDetected({3, 2});
        s.c().placement().pinchDetected(1.1);
        s.c().placement().rotationDetected(0.05);
        painted(s);
    }
    EXPECT_EQ(s.view.paintCache().stillRenders(), stillRenders);

    s.c().previewSquare().textLayer().setImage(Image(textCanvas(Qt::blue)));
    painted(s);
    EXPECT_EQ(s.view.paintCache().stillRenders(), stillRenders + 1);  // the front only
}

// A painter whose pixels do not fall on the square's whole pixels (a half
// pixel off, or turned) gets the tree drawn straight.
TEST(PreviewPaint, AnOffGridPainterGetsTheTreeDrawnStraight) {
    Square s("iphone");
    for (const QTransform& t : {QTransform::fromTranslate(0.5, 0), QTransform().rotate(10)}) {
        QImage a = onWhite(s.c()), b = onWhite(s.c());
        QPainter viaView(&a);
        viaView.setTransform(t);
        s.view.paintSquare(viaView);
        viaView.end();
        QPainter direct(&b);
        direct.setTransform(t);
        direct.setRenderHint(QPainter::SmoothPixmapTransform);
        direct.setRenderHint(QPainter::Antialiasing);
        renderInContext(s.c().previewSquare().root(), direct);
        direct.end();
        EXPECT_EQ(a, b);
    }
    EXPECT_EQ(s.view.paintCache().straightFrames(), 2);
    EXPECT_EQ(s.view.paintCache().stillRenders(), 0);
}

TEST(LayerLooks, AnyChangeAStillBitmapWouldMissMakesThemDiffer) {
    const Image art(gradient(4, 3, 0));
    const std::function<void(Layer&)> changes[] = {
        [](Layer& l) {
            l.setBounds({0, 0, 5, 5});
        },
        [](Layer& l) {
            l.setPosition({1, 0});
        },
        [](Layer& l) {
            l.setAnchorPoint({0, 0});
        },
        [](Layer& l) { l.setTransform(AffineTransform::makeRotation(0.1)); },
        [](Layer& l) { l.setHidden(true); },
        [](Layer& l) { l.setOpacity(0.5); },
        [](Layer& l) { l.setMasksToBounds(true); },
        [](Layer& l) { l.setBackgroundColor(Qt::red); },
        // The same pixels in another bitmap record count as a change: the
        // records are compared, not the pixels.
        [](Layer& l) { l.setImage(Image(gradient(4, 3, 0))); },
        [](Layer& l) { l.setImage(std::nullopt); },
        [](Layer& l) { l.sublayers().front()->setHidden(true); },
        [](Layer& l) { l.addSublayer(std::make_unique<Layer>("more")); },
    };
    for (std::size_t i = 0; i < std::size(changes); ++i) {
        SCOPED_TRACE(i);
        Layer layer("art");
        layer.setFrame({0, 0, 4, 4});
        layer.setImage(art);
        layer.addSublayer(std::make_unique<Layer>("line"));
        const LayerLooks before = LayerLooks::of({&layer});
        EXPECT_TRUE(LayerLooks::of({&layer}) == before);
        changes[i](layer);
        EXPECT_FALSE(LayerLooks::of({&layer}) == before);
    }
}

}  // namespace
}  // namespace qp
