#pragma once
// The modal progress overlay: a dark rounded 120 × 120 box holding a spinner,
// a pie or a caller's view above a title and a details line. It fades in and
// out and, with navigation blocking on, swallows every click while shown.

#include <QPointer>
#include <QWidget>

#include <chrono>
#include <cstdint>
#include <functional>

#include "platform/Geometry.h"

namespace qp {

class ActivityIndicatorView;
class Label;
class RoundProgressView;

inline constexpr double kThrobberBoxSide = 120;
inline constexpr float kThrobberOpacity = 0.8f;
inline constexpr double kThrobberCornerRadius = 10;
inline constexpr double kThrobberDetailsFontSize = 13;
inline constexpr int kThrobberDetailsLines = 2;
inline constexpr std::chrono::milliseconds kThrobberFadeDuration{200};
inline constexpr const char* kThrobberShowAnimation = "Throbber.show";
inline constexpr const char* kThrobberDismissAnimation = "Throbber.dismiss";

class Throbber : public QWidget {
public:
    // Run on the overlay once a dismissal has faded out.
    using Selector = std::function<void(Throbber&)>;

    // The shared overlay, or nullptr before it is made (or after its view went).
    static Throbber* defaultThrobber();
    // Makes the shared overlay on `view` (nothing when `view` is null) and
    // sets its title, details, mode and navigation blocking. An overlay shared
    // on another view is removed first; one already on `view` is reused.
    static Throbber* defaultThrobberOnViewWithTitleDetailsDisplayModeBlockNavigation(
        QWidget* view, const QString& title, const QString& details, std::int32_t mode,
        bool blockNavigation);

    // Transparent (alpha 0) until shown.
    explicit Throbber(const Rect& frame, QWidget* parent = nullptr);
    ~Throbber() override;

    QWidget* contentView() const { return m_contentView; }
    ActivityIndicatorView* activityView() const { return m_activityView; }
    RoundProgressView* progressView() const { return m_progressView; }
    QWidget* customView() const { return m_customView; }
    // The overlay takes the view as a child of its box.
    void setCustomView(QWidget* view);
    Label* titleLabel() const { return m_titleLabel; }
    Label* detailsLabel() const { return m_detailsLabel; }

    std::int32_t mode() const { return m_mode; }
    void setMode(std::int32_t mode);
    float progress() const { return m_progress; }
    void setProgress(float progress);
    bool blockNavigation() const { return m_blockNavigation; }
    void setBlockNavigation(bool block);
    QString title() const;
    void setTitle(const QString& title);
    QString details() const;
    void setDetails(const QString& details);
    float opacity() const { return m_opacity; }
    std::int32_t orientation() const { return m_orientation; }
    std::int32_t showCount() const { return m_showCount; }
    // The rotation the box is drawn with for `orientation`, in radians.
    double contentRotation() const { return m_contentRotation; }

    // Brings the overlay to the front and fades it in. Hides QWidget::show.
    void show();
    // Sets showCount to 0 and fades out.
    void dismiss();
    // Fades out, then runs `selector` on the overlay (when given).
    void dismiss(Selector selector);
    void showAndRetain();
    void dismissAndRelease();
    // The name of the fade running now, empty when none runs.
    const char* runningAnimation() const { return m_runningAnimation; }

    // Takes a device orientation; 1 to 4 different from the current one is
    // stored and the overlay laid out again.
    void changeOrientationCallback(std::int32_t deviceOrientation);

    // How the device is held, for the insets of a non-blocking overlay; the
    // desktop emulates a portrait device.
    void setDeviceOrientation(std::int32_t deviceOrientation);

    // Places the overlay and its box; runs whenever something it uses changes.
    void layoutSubviews();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void watchParent();
    void fadeTo(double alpha, const char* name, std::function<void()> completion);

    QWidget* m_contentView = nullptr;
    ActivityIndicatorView* m_activityView = nullptr;
    RoundProgressView* m_progressView = nullptr;
    QPointer<QWidget> m_customView;
    Label* m_titleLabel = nullptr;
    Label* m_detailsLabel = nullptr;
    std::int32_t m_mode = 0;
    float m_progress = 0;
    bool m_blockNavigation = false;
    float m_opacity = kThrobberOpacity;
    std::int32_t m_orientation = 1;
    std::int32_t m_deviceOrientation = 1;
    std::int32_t m_showCount = 0;
    double m_contentRotation = 0;
    const char* m_runningAnimation = "";
    QPointer<QWidget> m_watchedParent;
    bool m_inLayout = false;
};

}  // namespace qp
