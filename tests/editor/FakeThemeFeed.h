#pragma once
// A feed double: answers a set record and counts load requests.

#include <QImage>

#include "editor/ThemeFeed.h"

namespace qp {

class FakeThemeFeed : public ThemeFeed {
public:
    std::optional<ThemeRecord> record;
    int loadRequests = 0;
    int recordRequests = 0;

    std::optional<ThemeRecord> getCOTDThemeDictIfAvailable() override {
        ++recordRequests;
        return record;
    }
    // The thumbnail's side; a test changes it to stand for new images.
    int thumbSide = 3;

    std::optional<Image> getCOTDThumbIfAvailable() override { return image(thumbSide); }
    std::optional<Image> getCOTDThemeImageIfAvailable() override { return image(5); }
    std::optional<Image> getCOTDThemeBottomImageIfAvailable() override { return image(7); }
    void loadTheCOTDimages() override { ++loadRequests; }

    // Each getter answers an image of its own side so tests can tell them apart.
    static Image image(int side) {
        QImage bitmap(side, side, QImage::Format_RGB32);
        bitmap.fill(Qt::blue);
        return Image(bitmap);
    }
};

}  // namespace qp
