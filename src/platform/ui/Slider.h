#pragma once
// A slider with the phone's parts: a range, a value, track images for the
// minimum and maximum sides (stretched between fixed caps), a thumb image
// per state, continuous or end-only value events, touch-up inside and
// outside events, and a rotation: 4.712389 radians stands it upright with
// its minimum at the bottom.

#include <QPixmap>
#include <QWidget>

#include <functional>
#include <map>
#include <vector>

#include "platform/Geometry.h"
#include "platform/ui/Button.h"

namespace qp {

class Slider : public QWidget {
public:
    using Target = std::function<void(Slider* sender)>;

    // How far outside its bounds a lifted finger still counts as inside.
    static constexpr double kTouchSlop = 70;
    static constexpr double kDefaultThumbSide = 23;

    explicit Slider(QWidget* parent = nullptr);

    float minimumValue() const { return m_minimum; }
    void setMinimumValue(float value);
    float maximumValue() const { return m_maximum; }
    void setMaximumValue(float value);
    float value() const { return m_value; }
    // Clamped to the range; sends no event, as on the phone.
    void setValue(float value);
    bool isContinuous() const { return m_continuous; }
    void setContinuous(bool continuous) { m_continuous = continuous; }

    // Track images are stretched between `leftCap` and `topCap` fixed edges.
    void setMinimumTrackImage(const QPixmap& image, int leftCap = 0, int topCap = 0);
    void setMaximumTrackImage(const QPixmap& image, int leftCap = 0, int topCap = 0);
    void setThumbImageForState(const QPixmap& image, ControlState state);
    QPixmap thumbImageForState(ControlState state) const;

    // Turns the slider about its centre (clockwise on screen for positive
    // radians). Its bounds (length along the track, thickness) stay; the
    // widget's geometry becomes the turned bounds' bounding box.
    double rotation() const { return m_rotation; }
    void setRotation(double radians);
    Size boundsSize() const { return m_bounds; }
    // Sets the untransformed size; the frame follows from it and the rotation.
    void setBoundsSize(Size size);

    void addTargetForControlEvents(Target target, unsigned events);

    // The value a point (widget coordinates) on the track stands for.
    float valueAtPoint(Point p) const;
    // Whether a point counts as inside for a lifted finger.
    bool countsAsInside(Point p) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct TrackImage {
        QPixmap image;
        int leftCap = 0;
        int topCap = 0;
    };

    // A point in widget coordinates, in the untransformed slider's coordinates.
    Point toBounds(Point p) const;
    void placeForRotation();
    void send(ControlEvent event);
    void trackTo(Point p);
    double thumbSide() const;

    float m_minimum = 0;
    float m_maximum = 1;
    float m_value = 0;
    bool m_continuous = true;
    bool m_tracking = false;
    bool m_placing = false;
    double m_rotation = 0;
    Size m_bounds;
    TrackImage m_minimumTrack;
    TrackImage m_maximumTrack;
    std::map<ControlState, QPixmap> m_thumbs;
    std::vector<std::pair<unsigned, Target>> m_targets;
};

// Draws `image` over `target`, keeping `leftCap` columns at each side and
// `topCap` rows at top and bottom unstretched.
void drawStretchableImage(QPainter& painter, const QPixmap& image, const QRectF& target,
                          int leftCap, int topCap);

}  // namespace qp
