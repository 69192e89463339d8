#pragma once
// EXIF blocks for tests: a TIFF structure holding an orientation entry, put
// into a JPEG as an APP1 segment (as cameras write it) or into a PNG as an
// eXIf chunk.

#include <QByteArray>

#include "platform/Crc32.h"

namespace qp::test {

// A TIFF block with a make string and then the orientation entry, in either
// byte order, so a reader must walk the directory rather than read a fixed
// offset.
inline QByteArray exifTiff(int orientation, bool bigEndian = true) {
    const auto pair = [](int a, int b) {
        QByteArray bytes(2, '\0');
        bytes[0] = char(a);
        bytes[1] = char(b);
        return bytes;
    };
    const auto u16 = [&](int v) {
        return bigEndian ? pair(v >> 8, v & 0xFF) : pair(v & 0xFF, v >> 8);
    };
    const auto u32 = [&](int v) { return bigEndian ? u16(0) + u16(v) : u16(v) + u16(0); };
    QByteArray tiff = QByteArray(bigEndian ? "MM" : "II") + u16(42) + u32(8);
    tiff += u16(2);                                 // two entries
    tiff += u16(0x010F) + u16(2) + u32(4) + "Cam";  // the make, a string, first
    tiff += QByteArray(1, '\0');
    tiff += u16(0x0112) + u16(3) + u32(1) + u16(orientation) + u16(0);
    tiff += u32(0);  // no next directory
    return tiff;
}

// `jpeg` with an APP1 EXIF segment right after its start-of-image marker.
inline QByteArray jpegWithExif(const QByteArray& jpeg, int orientation, bool bigEndian = true) {
    const QByteArray body = QByteArray("Exif\0\0", 6) + exifTiff(orientation, bigEndian);
    const int length = int(body.size()) + 2;
    QByteArray segment("\xFF\xE1", 2);
    segment.append(char(length >> 8)).append(char(length & 0xFF)).append(body);
    return jpeg.left(2) + segment + jpeg.mid(2);
}

// `png` with an eXIf chunk right after its IHDR chunk.
inline QByteArray pngWithExif(const QByteArray& png, int orientation, bool bigEndian = true) {
    const auto u32 = [](std::uint32_t v) {
        QByteArray bytes(4, '\0');
        for (int i = 0; i < 4; ++i) bytes[i] = char(v >> (24 - 8 * i));
        return bytes;
    };
    const QByteArray body = "eXIf" + exifTiff(orientation, bigEndian);
    const std::uint32_t crc =
        Crc32::of(std::string_view(body.constData(), std::size_t(body.size())));
    const QByteArray chunk = u32(std::uint32_t(body.size() - 4)) + body + u32(crc);
    constexpr qsizetype kAfterHeader = 8 + 25;  // signature and IHDR
    return png.left(kAfterHeader) + chunk + png.mid(kAfterHeader);
}

}  // namespace qp::test
