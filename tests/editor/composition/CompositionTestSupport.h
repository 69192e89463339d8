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
    const unsigned char tiff[] = {'M',  'M',
                                  0,    0x2A,
                                  0,    0,
                                  0,    8,  // big-endian header, IFD at 8
                                  0,    1,  // one entry
                                  0x01, 0x12,
                                  0,    3,
                                  0,    0,
                                  0,    1,  // orientation, SHORT, count 1
                                  0,    static_cast<unsigned char>(exifOrientation),
                                  0,    0,
                                  0,    0,
                                  0,    0};  // no next IFD
    QByteArray body("Exif\0\0", 6);
    body.append(reinterpret_cast<const char*>(tiff), sizeof(tiff));
    const int length = int(body.size()) + 2;
    QByteArray segment;
    segment.append(char(0xFF)).append(char(0xE1));
    segment.append(char(length >> 8)).append(char(length & 0xFF));
    segment.append(body);
    QByteArray out = jpeg.left(2);
    out.append(segment).append(jpeg.mid(2));
    return out;
}

using qp::TempFolder;

}  // namespace qp::test
