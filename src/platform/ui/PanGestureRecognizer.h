#pragma once
// A drag with one or more fingers (or the left mouse button): the
// translation since the gesture began, which the handler may set back to zero.

#include "platform/ui/GestureRecognizer.h"

namespace qp {

class PanGestureRecognizer : public GestureRecognizer {
public:
    explicit PanGestureRecognizer(std::function<void(PanGestureRecognizer&)> action);

    // Widgets neither turn nor scale, so a translation reads the same in
    // every view; the view is taken for the platform's signature.
    Point translationInView(const QWidget* view) const;
    void setTranslationInView(Point translation, const QWidget* view);

protected:
    void touchesBegan(const std::vector<Point>& touches) override;
    void touchesMoved(const std::vector<Point>& touches) override;
    void touchesEnded(const std::vector<Point>& touches) override;

private:
    void follow(const std::vector<Point>& touches);

    bool m_pressed = false;
    Point m_start;
    Point m_base;
    Point m_centroid;
    std::size_t m_count = 0;
};

// The mean of the points; the origin for none.
Point centroidOf(const std::vector<Point>& points);

}  // namespace qp
