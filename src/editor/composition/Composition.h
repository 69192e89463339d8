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
#include "editor/composition/ResultFrame.h"
#include "imaging/Image.h"
#include "platform/DeviceProfile.h"

namespace qp {

class ThemeCatalogue;

class Composition {
public:
    // The square's side and the snapshot's scale come from the device: 482
    // points on a tablet, 306 otherwise, at the screen's scale. Another
    // `frame` makes the square as wide and of the frame's shape.
    explicit Composition(const DeviceProfile& device, const ResultFrame& frame = {});
    Composition(const Composition&) = delete;
    Composition& operator=(const Composition&) = delete;

    double squareSide() const { return m_square.side(); }
    // The frame in points: the square, or the command line's shape.
    Size frameSize() const { return m_square.size(); }
    const ResultFrame& resultFrame() const { return m_frame; }
    double screenScale() const { return m_scale; }
    // Pixels per point of the snapshot the result is made from: the
    // screen's scale for the app's result; for a larger frame, enough that
    // the result is rendered at its own size rather than enlarged.
    double snapshotScale() const;
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
    // The background view shows `art`, scaled to cover the frame and
    // centred; under a blurred-photo theme, only until a photo is placed.
    void showBackgroundArt(std::optional<Image> art);
    // The photo or its mirror changed: a blurred-photo background is made
    // afresh. Pan, pinch and rotation leave it as it is.
    void refreshPhotoBackground();
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
    // on a transparent canvas of the result's size (612 × 612 in the app).
    // final true: with a photo slot, the square rendered at the snapshot's
    // scale on white with the grid hidden, scaled to the result's size;
    // without one, the transparent canvas.
    std::optional<Image> makeResultImage(bool final);

private:
    // The square at the screen's scale on white, as it stands.
    std::optional<Image> renderSnapshot() const;

    PreviewSquare m_square;
    PhotoPlacement m_placement;
    ResultFrame m_frame;
    double m_scale;
    // The theme's art, and the blurred photo with the photo it was made
    // from (so it is made once per photo and mirror, not per gesture).
    std::optional<Image> m_backgroundArt;
    std::optional<Image> m_blurredPhoto;
    std::optional<Image> m_blurredFrom;
    std::optional<ThemeSettings> m_theme;
    std::string m_message;
    double m_currentFontSize = 0;
    MessageFit m_messageFit;
};

// `text` cut to at most `limit` UTF-16 code units, never inside a pair.
std::string limitMessage(const std::string& text, int limit);

}  // namespace qp
