#include "imaging/CaptureMetadata.h"

#include <cctype>
#include <vector>

#include "imaging/ExifReader.h"
#include "imaging/HeifPhoto.h"
#include "imaging/PhotoFormat.h"

namespace qp {
namespace {

constexpr std::size_t kMaxTextLength = 64;

std::string printable(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c >= 0x20 && c <= 0x7E && out.size() < kMaxTextLength) out += c;
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

// "YYYY:MM:DD HH:MM:SS" and nothing else.
std::string exifDate(const std::string& text) {
    constexpr std::string_view kShape = "dddd:dd:dd dd:dd:dd";
    if (text.size() != kShape.size()) return {};
    for (std::size_t i = 0; i < kShape.size(); ++i) {
        const bool ok = kShape[i] == 'd' ? std::isdigit(static_cast<unsigned char>(text[i])) != 0
                                         : text[i] == kShape[i];
        if (!ok) return {};
    }
    return text;
}

CaptureMetadata cleaned(const ExifCapture& capture) {
    return {exifDate(capture.captureDate), printable(capture.make), printable(capture.model)};
}

// Writes one directory of a big-endian TIFF structure: entries in tag order,
// values longer than four bytes in a data area after the directory.
class TiffWriter {
public:
    struct Entry {
        std::uint16_t tag;
        std::uint16_t type;
        std::uint32_t count;
        QByteArray value;  // already in big-endian order
    };

    static QByteArray u16(std::uint32_t v) {
        QByteArray out(2, '\0');
        out[0] = char(v >> 8);
        out[1] = char(v);
        return out;
    }
    static QByteArray u32(std::uint32_t v) { return u16(v >> 16) + u16(v & 0xFFFF); }

    // The directory placed at `offset` in the block, followed by its data.
    static QByteArray directory(const std::vector<Entry>& entries, std::uint32_t offset) {
        QByteArray table = u16(std::uint32_t(entries.size()));
        QByteArray data;
        const std::uint32_t dataStart = offset + 2 + 12 * std::uint32_t(entries.size()) + 4;
        for (const Entry& e : entries) {
            table += u16(e.tag) + u16(e.type) + u32(e.count);
            if (e.value.size() <= 4) {
                table += e.value + QByteArray(4 - e.value.size(), '\0');
            } else {
                table += u32(dataStart + std::uint32_t(data.size()));
                data += e.value;
                if (data.size() % 2) data += '\0';  // values start on even offsets
            }
        }
        return table + u32(0) + data;  // no next directory
    }
};

constexpr std::uint16_t kShort = 3, kLong = 4, kAscii = 2, kUndefined = 7;

TiffWriter::Entry asciiEntry(std::uint16_t tag, const std::string& text) {
    const QByteArray value = QByteArray::fromStdString(text) + '\0';
    return {tag, kAscii, std::uint32_t(value.size()), value};
}

}  // namespace

CaptureMetadata readCaptureMetadata(const QByteArray& photo) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(photo.constData());
    const auto size = std::size_t(photo.size());
    std::optional<ExifBlock> block;
    QByteArray heifTiff;
    switch (sniffPhotoFormat(data, size)) {
        case PhotoFormat::Jpeg:
            block = findJpegExif(data, size);
            break;
        case PhotoFormat::Png:
            block = findPngExif(data, size);
            break;
        case PhotoFormat::Heif:
            heifTiff = heifExifTiff(photo);
            block = ExifBlock{reinterpret_cast<const std::uint8_t*>(heifTiff.constData()),
                              std::size_t(heifTiff.size())};
            break;
        default:
            break;
    }
    if (!block) return {};
    return cleaned(readExifCapture(block->tiff, block->size));
}

QByteArray exifTiffFor(const CaptureMetadata& metadata) {
    using W = TiffWriter;
    constexpr std::uint32_t kFirstDirectory = 8;
    std::vector<W::Entry> main;
    if (!metadata.make.empty()) main.push_back(asciiEntry(0x010F, metadata.make));
    if (!metadata.model.empty()) main.push_back(asciiEntry(0x0110, metadata.model));
    main.push_back({0x0112, kShort, 1, W::u16(1)});  // orientation: upright
    main.push_back({0x8769, kLong, 1, W::u32(0)});   // where the EXIF directory is, below
    const std::uint32_t exifAt = kFirstDirectory + std::uint32_t(W::directory(main, 8).size());
    main.back().value = W::u32(exifAt);

    std::vector<W::Entry> exif;
    exif.push_back({0x9000, kUndefined, 4, QByteArray("0232")});  // EXIF version
    if (!metadata.captureDate.empty()) {
        exif.push_back(asciiEntry(0x9003, metadata.captureDate));  // DateTimeOriginal
    }
    exif.push_back({0xA001, kShort, 1, W::u16(1)});  // colour space: sRGB
    return QByteArray("MM") + W::u16(42) + W::u32(kFirstDirectory) +
           W::directory(main, kFirstDirectory) + W::directory(exif, exifAt);
}

}  // namespace qp
