#include "facebook/ui/FBWebDialog.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QWidget>

#include <algorithm>
#include <climits>

#include "facebook/FBFrictionlessRequestSettings.h"
#include "facebook/FBJson.h"
#include "facebook/FBRequest.h"
#include "facebook/FBText.h"
#include "facebook/ui/FBDialogLayout.h"
#include "facebook/ui/FBDialogURL.h"
#include "json/ZelJSON.h"
#include "platform/Log.h"
#include "platform/ui/ActivityIndicatorView.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"
#include "platform/ui/ModalLayer.h"
#include "platform/ui/UiTiming.h"
#include "platform/ui/ViewAlpha.h"

namespace qp {

namespace {

constexpr const char* kCloseButtonFallbackTitle = "\u00d7";

QRect toQRect(const Rect& r) {
    return QRect(qRound(r.minX()), qRound(r.minY()), qRound(r.width()), qRound(r.height()));
}

// The rounded, bordered panel: a dark translucent rim around a light inside.
class DialogPanel final : public QWidget {
public:
    explicit DialogPanel(std::function<void()> relayout) : m_relayout(std::move(relayout)) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath rim;
        rim.addRoundedRect(QRectF(rect()), kFBDialogCornerRadius, kFBDialogCornerRadius);
        painter.fillPath(rim, QColor::fromRgbF(0.3f, 0.3f, 0.3f, 0.8f));
        const double inset = kFBDialogBorderWidth;
        const QRectF inside = QRectF(rect()).adjusted(inset, inset, -inset, -inset);
        if (inside.isEmpty()) return;
        painter.fillRect(inside, Qt::white);
        painter.setPen(QColor::fromRgbF(0.17f, 0.27f, 0.53f));
        painter.drawRect(inside.adjusted(0.5, 0.5, -0.5, -0.5));
    }
    void resizeEvent(QResizeEvent*) override {
        if (m_relayout) m_relayout();
    }

private:
    std::function<void()> m_relayout;
};

int clampedCode(std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, INT_MIN, INT_MAX));
}

}  // namespace

FBWebDialog::FBWebDialog(FBDialogEnvironment environment, std::string serverURL, FBParams params,
                         bool isViewInvisible, FBFrictionlessRequestSettings* frictionlessSettings,
                         FBDialogDelegate* delegate)
    : m_environment(std::move(environment)),
      m_delegate(delegate),
      m_params(std::move(params)),
      m_serverURL(std::move(serverURL)),
      m_isViewInvisible(isViewInvisible),
      m_frictionlessSettings(frictionlessSettings) {
    buildViews();
}

FBWebDialog::~FBWebDialog() {
    *m_alive = false;
    cancelPresentation();
    if (m_bounce) m_bounce->abandon();
    removeObservers();
    if (m_webView) {
        m_webView->setDelegate(nullptr);
        m_webView->stopLoading();
    }
    // We may be inside a callback of one of these views: they go later.
    if (m_modalBackgroundView) {
        m_modalBackgroundView->hide();
        m_modalBackgroundView->deleteLater();
    }
}

void FBWebDialog::buildViews() {
    m_modalBackgroundView = new QWidget();
    m_modalBackgroundView->setObjectName("FBDialogBackground");
    // Escape closes the dialog as its close button does.
    markModalLayer(m_modalBackgroundView, {{}, [alive = std::weak_ptr<bool>(m_alive), this] {
                                               if (alive.lock()) cancel();
                                           }});
    m_panel = new DialogPanel([this] { layoutPanel(); });
    m_panel->setObjectName("FBDialog");
    m_panel->setParent(m_modalBackgroundView);

    m_webView = m_environment.makeWebView();
    m_webView->setDelegate(this);
    if (QWidget* page = m_webView->widget()) page->setParent(m_panel);

    m_closeButton = new Button(m_panel);
    m_closeButton->setObjectName("FBDialogCloseButton");
    const QPixmap closeImage(QString::fromStdString(m_environment.closeButtonImage.string()));
    if (closeImage.isNull()) {
        logf("Web dialog: no close button image at \"{}\"; the button shows a cross",
             m_environment.closeButtonImage.string());
        m_closeButton->setText(QString::fromUtf8(kCloseButtonFallbackTitle));
    } else {
        m_closeButton->setImageForState(closeImage, ControlState::Normal);
    }
    m_closeButton->addTargetForControlEvents([this](Button*) { cancel(); },
                                             kControlEventTouchUpInside);

    m_spinner = new ActivityIndicatorView(ActivityIndicatorViewStyle::Gray, m_panel);
    m_spinner->setHidesWhenStopped(true);
    m_spinner->hide();
}

// Presenting and laying out

void FBWebDialog::show() {
    if (m_shown || m_closed) return;
    m_shown = true;
    load();
    sizeToFitOrientation();
    if (!m_isViewInvisible) {
        showSpinner();
        showWebView();
    }
}

void FBWebDialog::load() {
    loadURLGet(m_serverURL, m_params);
}

void FBWebDialog::loadURLGet(const std::string& url, const FBParams& params) {
    m_loadingURL = generateURL(url, params);
    m_webView->loadURL(m_loadingURL);
}

void FBWebDialog::sizeToFitOrientation() {
    QWidget* window = m_environment.keyWindow ? m_environment.keyWindow() : nullptr;
    const Size windowSize =
        window ? Size{static_cast<double>(window->width()), static_cast<double>(window->height())}
               : Size{};
    m_frame = fbDialogFrame(windowSize, m_environment.isPad);
    setPresentationScale(m_scale);
}

void FBWebDialog::layoutPanel() {
    if (!m_panel) return;
    const Size size{static_cast<double>(m_panel->width()), static_cast<double>(m_panel->height())};
    Rect page = fbDialogWebViewFrame(size);
    if (m_showingKeyboard && isLandscape() && !m_environment.isPad) {
        page = Rect(page.minX() - kFBDialogKeyboardGrowth, page.minY() - kFBDialogKeyboardGrowth,
                    page.width() + 2 * kFBDialogKeyboardGrowth,
                    page.height() + 2 * kFBDialogKeyboardGrowth);
    }
    if (QWidget* pageWidget = m_webView->widget()) pageWidget->setGeometry(toQRect(page));
    if (m_closeButton) {
        m_closeButton->setGeometry(
            toQRect(Rect(kFBDialogCloseButtonInset, kFBDialogCloseButtonInset,
                         kFBDialogCloseButtonSide, kFBDialogCloseButtonSide)));
        m_closeButton->raise();
    }
    if (m_spinner) {
        const QSize spinner = m_spinner->sizeHint();
        m_spinner->setGeometry((m_panel->width() - spinner.width()) / 2,
                               (m_panel->height() - spinner.height()) / 2, spinner.width(),
                               spinner.height());
        m_spinner->raise();
    }
}

void FBWebDialog::setPresentationScale(double scale) {
    m_scale = scale;
    if (!m_panel) return;
    m_panel->setGeometry(toQRect(fbDialogScaledFrame(m_frame, scale)));
    // A hidden panel hears of its new size only when shown.
    layoutPanel();
}

void FBWebDialog::showSpinner() {
    if (!m_spinner) return;
    m_spinner->show();
    m_spinner->startAnimating();
}

void FBWebDialog::hideSpinner() {
    if (!m_spinner) return;
    m_spinner->stopAnimating();
    m_spinner->hide();
}

void FBWebDialog::showWebView() {
    if (m_onWindow || m_closed) return;
    QWidget* window = m_environment.keyWindow ? m_environment.keyWindow() : nullptr;
    if (!window || !m_modalBackgroundView) {
        logLine("Web dialog: there is no window to show it on");
        return;
    }
    m_onWindow = true;
    m_modalBackgroundView->setParent(window);
    m_modalBackgroundView->setGeometry(window->rect());
    m_modalBackgroundView->show();
    m_modalBackgroundView->raise();
    sizeToFitOrientation();
    dialogWillAppear();
    setPresentationScale(kFBDialogScaleStart);
    bounce({{kFBDialogScaleOvershoot, kFBDialogGrowDuration},
            {kFBDialogScaleUndershoot, kFBDialogBounceDuration},
            {1.0, kFBDialogBounceDuration}});
    addObservers();
}

// Scales to each (scale, duration) in turn.
void FBWebDialog::bounce(std::vector<std::pair<double, std::chrono::milliseconds>> steps) {
    if (steps.empty()) return;
    const auto [target, duration] = steps.front();
    steps.erase(steps.begin());
    const double from = m_scale;
    std::weak_ptr<bool> alive = m_alive;
    auto animation = Animation::start(
        from, target, duration,
        [this, alive](double value) {
            if (!alive.expired()) setPresentationScale(value);
        },
        [this, alive, steps = std::move(steps)](bool finished) mutable {
            if (alive.expired() || !finished) return;
            bounce(std::move(steps));
        });
    // Without timing it ran to its end at once, and the next step is the one running.
    if (animation->isRunning()) m_bounce = std::move(animation);
}

void FBWebDialog::schedulePresentation() {
    if (m_onWindow || m_pendingPresentation != 0) return;
    MainQueue* queue = UiTiming::mainQueue();
    if (!queue) {
        showWebView();
        return;
    }
    std::weak_ptr<bool> alive = m_alive;
    m_pendingPresentation = queue->postAfter(kFBInvisibleDialogShowDelay, [this, alive] {
        if (alive.expired()) return;
        m_pendingPresentation = 0;
        showWebView();
    });
}

void FBWebDialog::cancelPresentation() {
    if (m_pendingPresentation == 0) return;
    if (MainQueue* queue = UiTiming::mainQueue()) queue->cancel(m_pendingPresentation);
    m_pendingPresentation = 0;
}

bool FBWebDialog::isLandscape() const {
    return m_orientation == InterfaceOrientation::LandscapeLeft ||
           m_orientation == InterfaceOrientation::LandscapeRight;
}

void FBWebDialog::updateWebOrientation() {
    m_webView->stringByEvaluatingJavaScriptFromString(isLandscape() ? kFBLandscapeOrientationScript
                                                                    : kFBPortraitOrientationScript);
}

// Orientation and keyboard

void FBWebDialog::deviceOrientationDidChange() {
    // The window never turns; a dialog laid out for it stays as it is, and
    // while the keyboard is up it does not turn at all.
    if (m_showingKeyboard) return;
    sizeToFitOrientation();
    updateWebOrientation();
}

void FBWebDialog::keyboardWillShow() {
    m_showingKeyboard = true;
    layoutPanel();
}

void FBWebDialog::keyboardWillHide() {
    m_showingKeyboard = false;
    layoutPanel();
}

void FBWebDialog::addObservers() {
    NotificationCenter* center = m_environment.notifications;
    if (!center || !m_observers.empty()) return;
    m_observers.push_back(
        center->addObserver(kDeviceOrientationDidChangeNotification, nullptr,
                            [this](const Notification&) { deviceOrientationDidChange(); }));
    m_observers.push_back(center->addObserver(kKeyboardWillShowNotification, nullptr,
                                              [this](const Notification&) { keyboardWillShow(); }));
    m_observers.push_back(center->addObserver(kKeyboardWillHideNotification, nullptr,
                                              [this](const Notification&) { keyboardWillHide(); }));
}

void FBWebDialog::removeObservers() {
    if (NotificationCenter* center = m_environment.notifications) {
        for (NotificationCenter::ObserverId id : m_observers) center->removeObserver(id);
    }
    m_observers.clear();
}

// The page's navigations

bool FBWebDialog::webViewShouldStartLoadWithRequest(WebView& webView, const std::string& url,
                                                    WebViewNavigationType type) {
    switch (classifyDialogNavigation(url)) {
        case FBDialogNavigation::Cancel: {
            const std::optional<std::string> errorCode = getStringFromUrl(url, kFBErrorCodeNeedle);
            if (!errorCode) {
                dialogDidCancel(url);
                return false;
            }
            Error::Details details;
            if (auto message = getStringFromUrl(url, kFBErrorMessageNeedle)) {
                details[kFBErrorMessageKey] = *message;
            }
            dismissWithErrorAnimated(
                Error(kFBErrorDomain, clampedCode(integerValue(*errorCode)), details), true);
            return false;
        }
        case FBDialogNavigation::Success:
            storeFrictionlessRecipients(url);
            dialogDidSucceed(url);
            return false;
        case FBDialogNavigation::Load:
            break;
    }
    if (url == m_loadingURL || type != WebViewNavigationType::LinkClicked) return true;
    // A tapped link leaves the dialog for the browser, unless the delegate says no.
    if (!m_delegate || m_delegate->dialogShouldOpenURLInExternalBrowser(*this, url)) {
        webView.openURLOutsideApp(url);
    }
    return false;
}

void FBWebDialog::storeFrictionlessRecipients(const std::string& url) {
    if (!m_frictionlessSettings || !m_frictionlessSettings->enabled()) return;
    const std::optional<std::string> text = getStringFromUrl(url, kFBFrictionlessRecipientsNeedle);
    if (!text) return;
    std::vector<std::string> recipients;
    ZelJSON reader;
    const std::optional<JsonValue> parsed = reader.objectWithString(*text);
    if (const JsonValue::Array* items = parsed ? parsed->array() : nullptr) {
        for (const JsonValue& item : *items) {
            if (std::optional<std::string> id = fbTextValue(item)) recipients.push_back(*id);
        }
    } else {
        logLine("Web dialog: the frictionless recipients are not a list; none are kept");
    }
    m_frictionlessSettings->updateRecipientCacheWithRecipients(recipients);
}

void FBWebDialog::webViewDidFinishLoad(WebView&) {
    if (m_isViewInvisible) {
        schedulePresentation();
    } else {
        hideSpinner();
    }
    updateWebOrientation();
}

void FBWebDialog::webViewDidFailLoadWithError(WebView&, const Error& error) {
    if (isIgnoredLoadError(error)) return;
    dismissWithErrorAnimated(error, true);
}

bool FBWebDialog::isIgnoredLoadError(const Error& error) {
    return (error.domain() == kNSURLErrorDomain && error.code() == kNSURLErrorCancelled) ||
           (error.domain() == kWebKitErrorDomain &&
            error.code() == kWebKitErrorFrameLoadInterrupted);
}

// Outcomes

void FBWebDialog::dialogDidSucceed(const std::string& url) {
    if (m_closed) return;
    std::weak_ptr<bool> alive = m_alive;
    if (m_delegate) m_delegate->dialogCompleteWithUrl(url);
    if (!alive.expired()) dismissWithSuccessAnimated(true, true);
}

void FBWebDialog::dialogDidCancel(const std::string& url) {
    if (m_closed) return;
    std::weak_ptr<bool> alive = m_alive;
    if (m_delegate) m_delegate->dialogDidNotCompleteWithUrl(url);
    if (!alive.expired()) dismissWithSuccessAnimated(false, true);
}

void FBWebDialog::cancel() {
    // The close button stays until the fade ends; a closed dialog tells nobody again.
    if (m_closed) return;
    dialogDidCancel({});
}

void FBWebDialog::dismissWithSuccessAnimated(bool success, bool animated) {
    if (m_closed) return;
    std::weak_ptr<bool> alive = m_alive;
    if (m_delegate) {
        if (success) {
            m_delegate->dialogDidComplete(*this);
        } else {
            m_delegate->dialogDidNotComplete(*this);
        }
    }
    if (!alive.expired()) dismiss(animated);
}

void FBWebDialog::dismissWithErrorAnimated(const Error& error, bool animated) {
    if (m_closed) return;
    std::weak_ptr<bool> alive = m_alive;
    if (m_delegate) m_delegate->dialogDidFailWithError(*this, error);
    if (!alive.expired()) dismiss(animated);
}

void FBWebDialog::dismiss(bool animated) {
    if (m_closed) return;
    m_closed = true;
    dialogWillDisappear();
    cancelPresentation();
    m_loadingURL.clear();
    // A closed dialog hears nothing more from its page.
    m_webView->setDelegate(nullptr);
    m_webView->stopLoading();
    if (animated && m_onWindow && m_panel) {
        if (m_bounce) m_bounce->abandon();
        std::weak_ptr<bool> alive = m_alive;
        fadeView(m_panel, 0, kFBDialogFadeOutDuration, [this, alive](bool) {
            if (!alive.expired()) postDismissCleanup();
        });
    } else {
        postDismissCleanup();
    }
}

void FBWebDialog::postDismissCleanup() {
    removeObservers();
    m_onWindow = false;
    if (m_modalBackgroundView) {
        m_modalBackgroundView->hide();
        m_modalBackgroundView->setParent(nullptr);
        m_modalBackgroundView->deleteLater();
    }
}

}  // namespace qp
