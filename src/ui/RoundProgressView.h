#pragma once
// The pie progress indicator: a faint disc with a white rim, filled
// clockwise from twelve o'clock by the progress (0 to 1).

#include <QWidget>

namespace qp {

class RoundProgressView : public QWidget {
public:
    static constexpr int kDefaultSide = 37;

    // 37 × 37 points.
    explicit RoundProgressView(QWidget* parent = nullptr);
    RoundProgressView(const QRect& frame, QWidget* parent);

    float progress() const { return m_progress; }
    void setProgress(float progress);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    float m_progress = 0;
};

}  // namespace qp
