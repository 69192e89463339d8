#pragma once
// The editor's composition: the preview square with the photo's placement,
// the applied theme and the message, and the result image rendered from
// them. The editor screen shows its layer tree and turns input into calls
// on it; the command-line composer drives the very same object.

#include <optional>
#include <string>

#include "editor/ThemeSettings.h"
#include "editor/composition/MessageFitting.h"
#include "editor/composition/PhotoPlacement.h"
#include "editor/composition/PreviewSquare.h"
#include "imaging/Image.h"
#include "platform/DeviceProfile.h"

namespace qp {

class ThemeCatalogue;

class Composition {
public:
    // The square's side and the snapshot's scale come from the device: 482
    // points on a tablet, 306 otherwise, at the screen's scale.
    explicit Composition(const DeviceProfile& device);
    Composition(const Composition&) = delete;
    Composition& operator=(const Composition&) = delete;

    double squareSide() const { return m_square.side(); }
    double screenScale() const { return m_scale; }
    PreviewSquare& previewSquare() { return m_square; }
    const PreviewSquare& previewSquare() const { return m_square; }
    PhotoPlacement& placement() { return m_placement; }
    const PhotoPlacement& placement() const { return m_placement; }

    // --- theme ------------------------------------------------------------
    // Applies a theme: the background shows `background`; a photo slot
    // without a user photo shows `bottomImage` with the placement reset; the
    // font size returns to the theme's default. A placed photo, its
    // placement and the message stay. The text layer is not redrawn: call
    // refreshTextLayer when the screen wants it.
    void applyTheme(const ThemeSettings& settings, std::optional<Image> background,
                    std::optional<Image> bottomImage);
    // The same with the images the catalogue finds for the theme.
    void applyTheme(const ThemeSettings& settings, const ThemeCatalogue& catalogue);
    const std::optional<ThemeSettings>& theme() const { return m_theme; }
    bool themeIsPhotoEnabled() const { return m_theme && m_theme->photoEnabled; }

    // --- message ----------------------------------------------------------
    // The user's text (never the placeholder), cut to its first 120 UTF-16
    // code units without splitting a surrogate pair.
    void setMessage(const std::string& text);
    const std::string& message() const { return m_message; }
    double currentFontSize() const { return m_currentFontSize; }
    void setCurrentFontSize(double size) { m_currentFontSize = size; }
    // The text layer shows makeResultImage(false).
    void refreshTextLayer();
    // How the message was fitted into the box at the last text-layer image:
    // its size, whether long words were broken, whether it had to be cut.
    const MessageFit& messageFit() const { return m_messageFit; }

    // --- result -----------------------------------------------------------
    // final false: the text layer's image, the message fitted into its box
    // on a transparent 612 × 612 canvas. final true: with a photo slot, the square rendered at
    // the screen's scale on white with the grid hidden, scaled to 612 × 612;
    // without one, the transparent canvas.
    std::optional<Image> makeResultImage(bool final);

private:
    // The square at the screen's scale on white, as it stands.
    std::optional<Image> renderSnapshot() const;

    PreviewSquare m_square;
    PhotoPlacement m_placement;
    double m_scale;
    std::optional<ThemeSettings> m_theme;
    std::string m_message;
    double m_currentFontSize = 0;
    MessageFit m_messageFit;
};

// `text` cut to at most `limit` UTF-16 code units, never inside a pair.
std::string limitMessage(const std::string& text, int limit);

}  // namespace qp
