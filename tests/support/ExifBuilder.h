#pragma once
// EXIF blocks for tests: a TIFF structure holding an orientation entry, put
// into a JPEG as an APP1 segment (as cameras write it) or into a PNG as an
// eXIf chunk.

#include <QByteArray>
#include <string>
#include <vector>

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

// What a phone writes about a photo, the private parts included.
struct CameraExif {
    std::string captureDate = "2024:05:17 14:03:22";  // DateTimeOriginal; empty: none
    std::string changeDate;                           // IFD0 DateTime; empty: none
    std::string make = "Acme";
    std::string model = "Phone 12 Pro";
    std::string serial = "SN-4711-SECRET";  // BodySerialNumber
    int orientation = 6;
    bool gps = true;  // a GPS directory with a latitude
};

// A little-endian TIFF block as a camera writes it: IFD0 with make, model,
// orientation and the pointers to the EXIF and GPS directories.
inline QByteArray cameraExifTiff(const CameraExif& camera) {
    struct Entry {
        int tag, type, count;
        QByteArray value;   // little-endian
        int pointsTo = -1;  // index of a directory whose offset is the value
    };
    const auto u16 = [](int v) {
        QByteArray b(2, '\0');
        b[0] = char(v & 0xFF);
        b[1] = char(v >> 8);
        return b;
    };
    const auto u32 = [&](int v) { return u16(v & 0xFFFF) + u16(v >> 16); };
    const auto text = [](int tag, const std::string& s) {
        return Entry{tag, 2, int(s.size()) + 1, QByteArray::fromStdString(s) + '\0'};
    };
    std::vector<std::vector<Entry>> dirs(3);  // IFD0, EXIF, GPS
    if (!camera.make.empty()) dirs[0].push_back(text(0x010F, camera.make));
    if (!camera.model.empty()) dirs[0].push_back(text(0x0110, camera.model));
    dirs[0].push_back({0x0112, 3, 1, u16(camera.orientation) + u16(0)});
    if (!camera.changeDate.empty()) dirs[0].push_back(text(0x0132, camera.changeDate));
    dirs[0].push_back({0x8769, 4, 1, {}, 1});
    if (camera.gps) dirs[0].push_back({0x8825, 4, 1, {}, 2});
    if (!camera.captureDate.empty()) dirs[1].push_back(text(0x9003, camera.captureDate));
    if (!camera.serial.empty()) dirs[1].push_back(text(0xA431, camera.serial));
    dirs[2].push_back(text(0x0001, "N"));
    dirs[2].push_back({0x0002, 5, 3, u32(48) + u32(1) + u32(51) + u32(1) + u32(2406) + u32(100)});

    std::vector<int> at(dirs.size());
    int offset = 8;
    for (std::size_t d = 0; d < dirs.size(); ++d) {
        at[d] = offset;
        offset += 2 + 12 * int(dirs[d].size()) + 4;
    }
    QByteArray tables, data;
    for (auto& dir : dirs) {
        tables += u16(int(dir.size()));
        for (auto& e : dir) {
            if (e.pointsTo >= 0) e.value = u32(at[std::size_t(e.pointsTo)]);
            tables += u16(e.tag) + u16(e.type) + u32(e.count);
            if (e.value.size() <= 4) {
                tables += e.value + QByteArray(4 - e.value.size(), '\0');
            } else {
                tables += u32(offset + int(data.size()));
                data += e.value;
                if (data.size() % 2) data += '\0';
            }
        }
        tables += u32(0);
    }
    return QByteArray("II") + u16(42) + u32(8) + tables + data;
}

// `jpeg` with the TIFF block `tiff` as its APP1 EXIF segment.
inline QByteArray jpegWithExifTiff(const QByteArray& jpeg, const QByteArray& tiff) {
    const QByteArray body = QByteArray("Exif\0\0", 6) + tiff;
    const int length = int(body.size()) + 2;
    QByteArray segment("\xFF\xE1", 2);
    segment.append(char(length >> 8)).append(char(length & 0xFF)).append(body);
    return jpeg.left(2) + segment + jpeg.mid(2);
}

}  // namespace qp::test
