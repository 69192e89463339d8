#pragma once
// A spinning activity indicator: twelve spokes whose brightness turns round
// once a second, stepped by the toolkit's main queue. The large white style
// is 37 × 37 points.

#include <QWidget>

#include "platform/MainQueue.h"

namespace qp {

enum class ActivityIndicatorViewStyle { WhiteLarge = 0, White = 1, Gray = 2 };

class ActivityIndicatorView : public QWidget {
public:
    static constexpr int kSpokeCount = 12;
    static constexpr MainQueue::Duration kStepInterval{83};

    explicit ActivityIndicatorView(ActivityIndicatorViewStyle style, QWidget* parent = nullptr);
    ~ActivityIndicatorView() override;

    ActivityIndicatorViewStyle style() const { return m_style; }
    void startAnimating();
    void stopAnimating();
    bool isAnimating() const { return m_animating; }
    bool hidesWhenStopped() const { return m_hidesWhenStopped; }
    void setHidesWhenStopped(bool hides);
    // Which spoke is brightest, 0 to kSpokeCount - 1.
    int phase() const { return m_phase; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void scheduleStep();
    void step();
    void cancelStep();

    ActivityIndicatorViewStyle m_style;
    bool m_animating = false;
    bool m_hidesWhenStopped = true;
    int m_phase = 0;
    MainQueue::TaskId m_pendingStep = 0;
};

}  // namespace qp
