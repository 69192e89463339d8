#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "ImageTestSupport.h"
#include "imaging/Layer.h"
#include "imaging/LayerRenderer.h"

namespace qp {
namespace {

std::unique_ptr<Layer> solidLayer(std::string name, Rect frame, QColor colour) {
    auto layer = std::make_unique<Layer>(std::move(name));
    layer->setFrame(frame);
    layer->setBackgroundColor(colour);
    return layer;
}

void expectNear(Point p, Point q) {
    EXPECT_NEAR(p.x, q.x, 1e-9);
    EXPECT_NEAR(p.y, q.y, 1e-9);
}

TEST(Layer, FrameFollowsPositionAnchorAndTransform) {
    Layer layer;
    layer.setBounds({0, 0, 40, 20});
    layer.setPosition({100, 50});
    EXPECT_EQ(layer.frame(), Rect(80, 40, 40, 20));
    layer.setAnchorPoint({0, 0});
    EXPECT_EQ(layer.frame(), Rect(100, 50, 40, 20));
    layer.setTransform(AffineTransform::makeScale(2, 3));
    EXPECT_EQ(layer.frame(), Rect(100, 50, 80, 60));
    layer.setAnchorPoint({0.5, 0.5});
    layer.setTransform(AffineTransform::makeRotation(std::numbers::pi / 2));
    const Rect turned = layer.frame();
    EXPECT_NEAR(turned.origin.x, 90, 1e-9);
    EXPECT_NEAR(turned.origin.y, 30, 1e-9);
    EXPECT_NEAR(turned.size.width, 20, 1e-9);
    EXPECT_NEAR(turned.size.height, 40, 1e-9);
    expectNear(layer.center(), {100, 50});
}

TEST(Layer, SetFrameAndCenterMoveThePosition) {
    Layer layer;
    layer.setAnchorPoint({0.25, 0.5});
    layer.setFrame({10, 20, 40, 8});
    EXPECT_EQ(layer.position(), (Point{20, 24}));
    EXPECT_EQ(layer.bounds().size, (Size{40, 8}));
    layer.setCenter({0, 0});
    expectNear(layer.center(), {0, 0});
    EXPECT_EQ(layer.frame(), Rect(-20, -4, 40, 8));
}

TEST(Layer, TreeOwnsFindsAndGivesBackSublayers) {
    Layer root("root");
    Layer* photo = root.addSublayer(std::make_unique<Layer>("photo"));
    Layer* grid = root.addSublayer(std::make_unique<Layer>("grid"));
    Layer* text = photo->addSublayer(std::make_unique<Layer>("text"));
    root.insertSublayer(std::make_unique<Layer>("background"), 0);
    EXPECT_EQ(root.sublayers().front()->name(), "background");
    EXPECT_EQ(root.layerNamed("text"), text);
    EXPECT_EQ(text->superlayer(), photo);
    EXPECT_EQ(root.layerNamed("missing"), nullptr);
    // An ancestor cannot become a sublayer.
    auto taken = photo->removeFromSuperlayer();
    ASSERT_EQ(taken.get(), photo);
    EXPECT_EQ(photo->superlayer(), nullptr);
    EXPECT_EQ(root.layerNamed("text"), nullptr);
    EXPECT_EQ(grid->removeFromSuperlayer().get(), grid);
    EXPECT_EQ(root.sublayers().size(), 1u);
    EXPECT_EQ(Layer().removeFromSuperlayer(), nullptr);
}

TEST(Layer, ConvertsPointsBetweenLayersOfOneTree) {
    Layer square("square");
    square.setFrame({0, 0, 306, 306});
    Layer* photo = square.addSublayer(std::make_unique<Layer>("photo"));
    photo->setBounds({0, 0, 3000, 2000});
    photo->setPosition({153, 153});
    photo->setTransform(AffineTransform::makeScale(0.102, 0.102));
    expectNear(square.convertPointToLayer({153, 153}, *photo), {1500, 1000});
    expectNear(photo->convertPointToLayer({0, 0}, square), {153 - 153, 153 - 102});
    expectNear(square.convertPointFromLayer({3000, 2000}, *photo), {306, 255});
}

TEST(LayerRenderer, PlacesFramesAnchorsAndTransformsOnHandComputedPixels) {
    Layer root;
    root.setFrame({0, 0, 20, 20});
    root.addSublayer(solidLayer("red", {2, 3, 4, 5}, Qt::red));
    // A 6 × 2 blue bar turned a quarter about its centre (10, 10): it then
    // covers x 9..11, y 7..13.
    auto bar = solidLayer("blue", {7, 9, 6, 2}, Qt::blue);
    bar->setTransform(AffineTransform::makeRotation(std::numbers::pi / 2));
    root.addSublayer(std::move(bar));
    // A green square anchored at its top-left corner, scaled 2× from there.
    auto green = std::make_unique<Layer>("green");
    green->setBounds({0, 0, 2, 2});
    green->setAnchorPoint({0, 0});
    green->setPosition({14, 14});
    green->setTransform(AffineTransform::makeScale(2, 2));
    green->setBackgroundColor(Qt::green);
    root.addSublayer(std::move(green));

    const auto image = renderLayer(root, {0, 0, 20, 20}, 1.0, Qt::white);
    ASSERT_TRUE(image);
    const QImage& px = image->bitmap();
    EXPECT_EQ(px.pixel(2, 3), qRgb(255, 0, 0));
    EXPECT_EQ(px.pixel(5, 7), qRgb(255, 0, 0));
    EXPECT_EQ(px.pixel(6, 7), qRgb(255, 255, 255));
    EXPECT_EQ(px.pixel(1, 3), qRgb(255, 255, 255));
    EXPECT_EQ(px.pixel(9, 7), qRgb(0, 0, 255));
    EXPECT_EQ(px.pixel(10, 12), qRgb(0, 0, 255));
    EXPECT_EQ(px.pixel(12, 10), qRgb(255, 255, 255));
    EXPECT_EQ(px.pixel(14, 14), qRgb(0, 255, 0));
    EXPECT_EQ(px.pixel(17, 17), qRgb(0, 255, 0));
    EXPECT_EQ(px.pixel(18, 18), qRgb(255, 255, 255));
}

TEST(LayerRenderer, ScaleHiddenOpacityAndClipping) {
    Layer root;
    root.setFrame({0, 0, 10, 10});
    Layer* hidden = root.addSublayer(solidLayer("hidden", {0, 0, 10, 10}, Qt::black));
    hidden->setHidden(true);
    Layer* faint = root.addSublayer(solidLayer("faint", {0, 0, 5, 10}, Qt::black));
    faint->setOpacity(0.5);
    Layer* clip = root.addSublayer(solidLayer("clip", {5, 0, 5, 5}, Qt::red));
    clip->setMasksToBounds(true);
    clip->addSublayer(solidLayer("spill", {0, 0, 5, 10}, Qt::blue));

    const auto image = renderLayer(root, {0, 0, 10, 10}, 2.0, Qt::white);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width(), 20);
    const QImage& px = image->bitmap();
    EXPECT_NEAR(qRed(px.pixel(2, 2)), 128, 2);         // half black over white
    EXPECT_EQ(px.pixel(12, 2), qRgb(0, 0, 255));       // sublayer inside the clip
    EXPECT_EQ(px.pixel(12, 12), qRgb(255, 255, 255));  // spilled part clipped away
    EXPECT_EQ(px.pixel(12, 18), qRgb(255, 255, 255));
}

TEST(LayerRenderer, ReducedImageFillsItsBounds) {
    // A 2 × 2 stand-in for a photo whose bounds are 100 × 100 points.
    Layer root;
    root.setFrame({0, 0, 100, 100});
    auto photo = std::make_unique<Layer>("photo");
    photo->setFrame({0, 0, 100, 100});
    photo->setImage(Image(test::filledBitmap(2, 2, Qt::red)));
    root.addSublayer(std::move(photo));
    const auto image = Image::snapshotOfLayerRectScale(root, {50, 50, 50, 50}, 1.0);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width(), 50);
    EXPECT_EQ(image->bitmap().pixel(49, 49), qRgb(255, 0, 0));
    EXPECT_EQ(image->bitmap().pixel(0, 0), qRgb(255, 0, 0));
}

TEST(LayerRenderer, FineStripesDrawnSmallTurnGreyNotAliased) {
    // One-pixel black and white columns drawn at 0.3: a point sampler would
    // give pure black or white columns; area averaging gives grey.
    QImage stripes(300, 30, QImage::Format_RGB32);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 300; ++x)
            stripes.setPixel(x, y, x % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    Layer root;
    root.setFrame({0, 0, 90, 9});
    auto layer = std::make_unique<Layer>();
    layer->setFrame({0, 0, 90, 9});
    layer->setImage(Image(stripes));
    root.addSublayer(std::move(layer));
    const auto image = renderLayer(root, {0, 0, 90, 9}, 1.0, Qt::white);
    ASSERT_TRUE(image);
    for (int x = 1; x < 89; ++x) {
        const int grey = qGreen(image->bitmap().pixel(x, 4));
        EXPECT_GT(grey, 90) << x;
        EXPECT_LT(grey, 165) << x;
    }
}

}  // namespace
}  // namespace qp
