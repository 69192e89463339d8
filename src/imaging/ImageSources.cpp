// Images made from outside memory: camera frames.
#include <cstdint>
#include <cstring>

#include "imaging/Image.h"

namespace qp {

std::optional<Image> Image::imageFromSampleBuffer(const SampleBuffer& buffer) {
    // A frame we cannot read safely gives no image rather than a bad read.
    if (buffer.baseAddress == nullptr || buffer.width <= 0 || buffer.height <= 0 ||
        buffer.bytesPerRow < std::int64_t(buffer.width) * 4) {
        return std::nullopt;
    }
    // B, G, R, A bytes are a little-endian 32-bit premultiplied ARGB word.
    QImage frame(buffer.width, buffer.height, QImage::Format_ARGB32_Premultiplied);
    if (frame.isNull()) return std::nullopt;
    for (int y = 0; y < buffer.height; ++y) {
        const std::uint8_t* row = buffer.baseAddress + std::ptrdiff_t(y) * buffer.bytesPerRow;
        std::uint8_t* d = frame.scanLine(y);
        if constexpr (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
            std::memcpy(d, row, std::size_t(buffer.width) * 4);
        } else {
            auto* px = reinterpret_cast<QRgb*>(d);
            for (int x = 0; x < buffer.width; ++x) {
                const std::uint8_t* p = row + x * 4;
                px[x] = qRgba(p[2], p[1], p[0], p[3]);
            }
        }
    }
    return Image(std::move(frame));
}

}  // namespace qp
