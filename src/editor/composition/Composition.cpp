#include "editor/composition/Composition.h"

#include <QPainter>
#include <QString>
#include <algorithm>

#include "editor/ThemeCatalogue.h"
#include "editor/composition/CompositionConstants.h"
#include "editor/composition/MessageRenderer.h"
#include "imaging/ImageDrawing.h"
#include "imaging/LayerRenderer.h"

namespace qp {

std::string limitMessage(const std::string& text, int limit) {
    QString s = QString::fromStdString(text);
    if (s.size() <= limit) return text;
    qsizetype cut = limit;
    if (cut > 0 && s.at(cut - 1).isHighSurrogate()) --cut;
    s.truncate(cut);
    return s.toStdString();
}

Composition::Composition(const DeviceProfile& device, const ResultFrame& frame)
    : m_square(frame.pointsForWidth(device.isPad() ? kTabletSquareSide : kPhoneSquareSide)),
      m_placement(m_square),
      m_frame(frame),
      m_scale(device.effectiveScale() > 0 ? device.effectiveScale() : 1.0) {}

double Composition::snapshotScale() const {
    if (m_frame.isAppResult()) return m_scale;
    return std::max(m_scale, m_frame.width / m_square.side());
}

void Composition::applyTheme(const ThemeSettings& settings, std::optional<Image> background,
                             std::optional<Image> bottomImage) {
    m_theme = settings;
    if (settings.photoEnabled) m_placement.showBottomImage(std::move(bottomImage));
    m_currentFontSize = settings.textStyle.fontDefaultSize;
    showBackgroundArt(std::move(background));
}

void Composition::showBackgroundArt(std::optional<Image> art) {
    m_backgroundArt = std::move(art);
    refreshPhotoBackground();
}

void Composition::refreshPhotoBackground() {
    Layer& background = m_square.backgroundLayer();
    const Layer& photo = m_square.photoLayer();
    const bool blurPhoto = m_theme && m_theme->backgroundIsBlurredPhoto &&
                           m_placement.previewPhotoIsRealPhoto() && photo.image();
    if (!blurPhoto) {
        // Another photo came meanwhile: let go of the one blurred before.
        if (m_blurredFrom && !(photo.image() && m_blurredFrom->isSameImage(*photo.image()))) {
            m_blurredFrom.reset();
            m_blurredPhoto.reset();
        }
        background.setImage(m_backgroundArt);
        background.setFrame(m_backgroundArt
                                ? drawing::coverRect(m_backgroundArt->displaySize(), frameSize())
                                : m_square.bounds());
        return;
    }
    if (!m_blurredFrom || !m_blurredFrom->isSameImage(*photo.image())) {
        const Size pixels{frameSize().width * snapshotScale(),
                          frameSize().height * snapshotScale()};
        m_blurredPhoto =
            photo.image()->blurredToCover(pixels, pixels.width * kBlurredFillRadiusPerWidth);
        m_blurredFrom = *photo.image();
    }
    background.setImage(m_blurredPhoto);
    background.setFrame(m_square.bounds());
}

void Composition::applyTheme(const ThemeSettings& settings, const ThemeCatalogue& catalogue) {
    std::optional<Image> bottom;
    if (settings.photoEnabled && !m_placement.previewPhotoIsRealPhoto()) {
        bottom = catalogue.imageFor(settings.bottomImage);
    }
    applyTheme(settings, catalogue.imageFor(settings.background), std::move(bottom));
}

void Composition::setMessage(const std::string& text) {
    m_message = limitMessage(text, kMessageLimit);
}

void Composition::refreshTextLayer() {
    m_square.textLayer().setImage(makeResultImage(false));
}

std::optional<Image> Composition::renderSnapshot() const {
    const Size frame = frameSize();
    const double scale = snapshotScale();
    const int width = drawing::surfaceDimension(frame.width * scale);
    const int height = drawing::surfaceDimension(frame.height * scale);
    QImage surface = drawing::makeImageSurface(width, height);
    if (surface.isNull()) return std::nullopt;
    surface.fill(Qt::white);
    QPainter painter(&surface);
    // The fit often puts the photo's edges on half pixels: antialiased, they
    // land where the placement says instead of snapping half a pixel away
    // and shifting the picture with them.
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(double(width) / frame.width, double(height) / frame.height);
    renderInContext(m_square.root(), painter);
    painter.end();
    return Image(std::move(surface));
}

std::optional<Image> Composition::makeResultImage(bool final) {
    const int width = m_frame.width, height = m_frame.height();
    if (!final) {
        const TextStyle style =
            textStyleForFrame(m_theme ? m_theme->textStyle : TextStyle{}, m_frame);
        MessageCanvas canvas = renderMessage(
            m_message, style, fontSizeForFrame(m_currentFontSize, m_frame), m_frame.pixelSize());
        m_messageFit = std::move(canvas.fit);
        return std::move(canvas.image);
    }
    if (!themeIsPhotoEnabled()) return Image(drawing::makeImageSurface(width, height));
    refreshPhotoBackground();
    Layer& grid = m_square.gridLayer();
    const bool gridWasHidden = grid.isHidden();
    grid.setHidden(true);
    std::optional<Image> snapshot = renderSnapshot();
    grid.setHidden(gridWasHidden);
    if (!snapshot) return std::nullopt;
    if (snapshot->width() == width && snapshot->height() == height) return snapshot;
    return snapshot->resizeToSize(m_frame.pixelSize());
}

}  // namespace qp
