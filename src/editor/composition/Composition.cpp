#include "editor/composition/Composition.h"

#include <QPainter>
#include <QString>

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

Composition::Composition(const DeviceProfile& device)
    : m_square(device.isPad() ? kTabletSquareSide : kPhoneSquareSide),
      m_placement(m_square),
      m_scale(device.effectiveScale() > 0 ? device.effectiveScale() : 1.0) {}

void Composition::applyTheme(const ThemeSettings& settings, std::optional<Image> background,
                             std::optional<Image> bottomImage) {
    m_theme = settings;
    m_square.backgroundLayer().setImage(std::move(background));
    if (settings.photoEnabled) m_placement.showBottomImage(std::move(bottomImage));
    m_currentFontSize = settings.textStyle.fontDefaultSize;
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
    const int side = drawing::surfaceDimension(m_square.side() * m_scale);
    QImage surface = drawing::makeImageSurface(side, side);
    if (surface.isNull()) return std::nullopt;
    surface.fill(Qt::white);
    QPainter painter(&surface);
    // The fit often puts the photo's edges on half pixels: antialiased, they
    // land where the placement says instead of snapping half a pixel away
    // and shifting the picture with them.
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(double(side) / m_square.side(), double(side) / m_square.side());
    renderInContext(m_square.root(), painter);
    painter.end();
    return Image(std::move(surface));
}

std::optional<Image> Composition::makeResultImage(bool final) {
    if (!final) {
        const TextStyle style = m_theme ? m_theme->textStyle : TextStyle{};
        MessageCanvas canvas = renderMessage(m_message, style, m_currentFontSize);
        m_messageFit = std::move(canvas.fit);
        return std::move(canvas.image);
    }
    if (!themeIsPhotoEnabled()) {
        return Image(drawing::makeImageSurface(kResultSide, kResultSide));
    }
    Layer& grid = m_square.gridLayer();
    const bool gridWasHidden = grid.isHidden();
    grid.setHidden(true);
    std::optional<Image> snapshot = renderSnapshot();
    grid.setHidden(gridWasHidden);
    if (!snapshot) return std::nullopt;
    if (snapshot->width() == kResultSide && snapshot->height() == kResultSide) return snapshot;
    return snapshot->resizeToSize({double(kResultSide), double(kResultSide)});
}

}  // namespace qp
