#include "imaging/Image.h"

#include <cmath>
#include <mutex>
#include <vector>

#include "imaging/PixelOps.h"

namespace qp {

struct Image::Data {
    QImage bitmap;
    PixelFormat format = PixelFormat::PremultipliedArgb;
    ImageOrientation orientation = ImageOrientation::Up;
    double scale = 1.0;
    // Reduced copies made on demand; entry i is level i + 1.
    mutable std::mutex levelsMutex;
    mutable std::vector<QImage> levels;
};

namespace {

// Brings any QImage into one of the three formats the operations handle.
QImage normalized(QImage bitmap, PixelFormat& format) {
    switch (bitmap.format()) {
        case QImage::Format_ARGB32_Premultiplied:
            format = PixelFormat::PremultipliedArgb;
            return bitmap;
        case QImage::Format_RGB32:
            format = PixelFormat::Rgbx;
            return bitmap;
        case QImage::Format_Grayscale8:
            format = PixelFormat::Grey8;
            return bitmap;
        case QImage::Format_Grayscale16:
            format = PixelFormat::Grey8;
            return bitmap.convertToFormat(QImage::Format_Grayscale8);
        default:
            break;
    }
    if (bitmap.hasAlphaChannel()) {
        format = PixelFormat::PremultipliedArgb;
        return bitmap.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }
    format = PixelFormat::Rgbx;
    return bitmap.convertToFormat(QImage::Format_RGB32);
}

}  // namespace

Image::Image(QImage bitmap, ImageOrientation orientation, double scale) {
    if (bitmap.isNull()) return;
    auto data = std::make_shared<Data>();
    data->bitmap = normalized(std::move(bitmap), data->format);
    data->bitmap.setDevicePixelRatio(1.0);
    data->orientation = orientation;
    data->scale = scale > 0 && std::isfinite(scale) ? scale : 1.0;
    m_data = std::move(data);
}

int Image::width() const {
    return m_data ? m_data->bitmap.width() : 0;
}
int Image::height() const {
    return m_data ? m_data->bitmap.height() : 0;
}

Size Image::displaySize() const {
    const Size upright = uprightPixelSize();
    return {upright.width / scale(), upright.height / scale()};
}

Size Image::uprightPixelSize() const {
    if (orientationSwapsAxes(orientation())) return {double(height()), double(width())};
    return storedSize();
}

ImageOrientation Image::orientation() const {
    return m_data ? m_data->orientation : ImageOrientation::Up;
}

double Image::scale() const {
    return m_data ? m_data->scale : 1.0;
}

PixelFormat Image::pixelFormat() const {
    return m_data ? m_data->format : PixelFormat::PremultipliedArgb;
}

const QImage& Image::bitmap() const {
    static const QImage kNone;
    return m_data ? m_data->bitmap : kNone;
}

Image Image::withOrientation(ImageOrientation orientation, double scale) const {
    if (!m_data) return {};
    return Image(m_data->bitmap, orientation, scale);
}

QImage Image::reducedLevel(int level) const {
    if (!m_data || level <= 0) return bitmap();
    std::lock_guard lock(m_data->levelsMutex);
    auto& levels = m_data->levels;
    while (int(levels.size()) < level) {
        const QImage& previous = levels.empty() ? m_data->bitmap : levels.back();
        if (previous.width() <= 1 && previous.height() <= 1) return previous;
        levels.push_back(pixelops::reduceByHalf(previous));
    }
    return levels[std::size_t(level - 1)];
}

}  // namespace qp
