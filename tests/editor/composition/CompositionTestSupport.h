#pragma once
// Small pictures, device profiles and files for the composition tests.

#include <QByteArray>
#include <QImage>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "editor/ThemeSettings.h"
#include "imaging/Image.h"
#include "platform/DeviceProfile.h"
#include "support/ExifBuilder.h"
#include "support/TempFolder.h"

namespace qp::test {

inline DeviceProfile profile(const char* name) {
    return *deviceProfileNamed(name);
}

inline Image solidImage(int width, int height, QColor colour) {
    QImage bitmap(width, height, QImage::Format_RGB32);
    bitmap.fill(colour);
    return Image(bitmap);
}

// A photo-slot theme with a given text style and no art.
inline ThemeSettings photoTheme(TextStyle style = {}) {
    ThemeSettings settings;
    settings.photoEnabled = true;
    settings.themeImageName = "test.jpg";
    settings.textStyle = style;
    return settings;
}

// A JPEG with an EXIF block whose orientation entry is `exifOrientation`,
// put right after the start-of-image marker as cameras write it.
inline QByteArray withExifOrientation(const QByteArray& jpeg, int exifOrientation) {
    return jpegWithExif(jpeg, exifOrientation);
}

using qp::TempFolder;

}  // namespace qp::test
