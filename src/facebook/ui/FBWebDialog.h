#pragma once
// An in-app web dialog of the social network: a rounded panel over a
// full-window background, holding a web view, a close button and a spinner.
// It loads a page of the dialog endpoint and watches where the page goes: a
// navigation to the redirect scheme ends the dialog with success, cancel or
// an error instead of loading. Main thread only.
//
// The desktop window stays upright and has no on-screen keyboard, so the
// orientation and keyboard hooks only run when someone posts those
// notifications; the app never does.

#include <QPointer>
#include <QWidget>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "facebook/FBDialogDelegates.h"
#include "facebook/FBDialogFactory.h"
#include "facebook/FBParams.h"
#include "platform/Clock.h"
#include "platform/MainQueue.h"
#include "platform/NotificationCenter.h"
#include "platform/ui/ActivityIndicatorView.h"
#include "platform/ui/Button.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/WebView.h"

namespace qp {

class Animation;
class FBFrictionlessRequestSettings;

inline constexpr const char* kFBCloseButtonImage = "FBDialog.bundle/images/close.png";
inline constexpr MainQueue::Duration kFBInvisibleDialogShowDelay{50};
inline constexpr std::chrono::milliseconds kFBDialogFadeOutDuration{300};
inline constexpr double kFBDialogScaleStart = 0.001;
inline constexpr double kFBDialogScaleOvershoot = 1.1;
inline constexpr double kFBDialogScaleUndershoot = 0.9;
inline constexpr std::chrono::milliseconds kFBDialogGrowDuration{200};
inline constexpr std::chrono::milliseconds kFBDialogBounceDuration{150};
inline constexpr const char* kFBLandscapeOrientationScript =
    "document.body.setAttribute('orientation', 90);";
inline constexpr const char* kFBPortraitOrientationScript =
    "document.body.removeAttribute('orientation');";
inline constexpr const char* kDeviceOrientationDidChangeNotification =
    "UIDeviceOrientationDidChangeNotification";
inline constexpr const char* kKeyboardWillShowNotification = "UIKeyboardWillShowNotification";
inline constexpr const char* kKeyboardWillHideNotification = "UIKeyboardWillHideNotification";

// What every dialog needs from the app.
struct FBDialogEnvironment {
    // The window dialogs come on; null: none yet.
    std::function<QWidget*()> keyWindow;
    WebViewFactory makeWebView;
    // Reads the time for a login's expiry; must outlive the dialogs.
    const Clock* clock = nullptr;
    bool isPad = false;
    // The close button's image; the button shows a cross when it is missing.
    std::filesystem::path closeButtonImage;
    // Where orientation and keyboard changes would be posted; may be null.
    NotificationCenter* notifications = nullptr;
};

class FBWebDialog : public FBDialog, protected WebViewDelegate {
public:
    // initWithURL:params:isViewInvisible:frictionlessSettings:delegate:.
    // The settings and the delegate are not owned and may be null.
    FBWebDialog(FBDialogEnvironment environment, std::string serverURL, FBParams params,
                bool isViewInvisible, FBFrictionlessRequestSettings* frictionlessSettings,
                FBDialogDelegate* delegate);
    // Takes the dialog off the window at once.
    ~FBWebDialog() override;

    FBDialogDelegate* delegate() const { return m_delegate; }
    void setDelegate(FBDialogDelegate* delegate) { m_delegate = delegate; }
    const FBParams& params() const { return m_params; }
    const std::string& loadingURL() const { return m_loadingURL; }

    // Loads the page and, unless the dialog starts invisible, brings it on
    // screen with its spinner. A dialog is shown once.
    void show() override;
    void load();
    void loadURLGet(const std::string& url, const FBParams& params);
    void dismissWithSuccessAnimated(bool success, bool animated);
    void dismissWithErrorAnimated(const Error& error, bool animated);
    // The close button's action.
    void cancel();

    // The outcomes, which the login dialog overrides.
    virtual void dialogDidSucceed(const std::string& url);
    virtual void dialogDidCancel(const std::string& url);
    virtual void dialogWillAppear() {}
    virtual void dialogWillDisappear() {}

    // Orientation and keyboard hooks (see the header comment).
    void deviceOrientationDidChange();
    void keyboardWillShow();
    void keyboardWillHide();

    // What the dialog shows, for tests and the app.
    bool isOnWindow() const { return m_onWindow; }
    bool isClosed() const { return m_closed; }
    bool hasPendingPresentation() const { return m_pendingPresentation != 0; }
    bool isShowingKeyboard() const { return m_showingKeyboard; }
    QWidget* backgroundView() const { return m_modalBackgroundView; }
    QWidget* panel() const { return m_panel; }
    ActivityIndicatorView* spinner() const { return m_spinner; }
    Button* closeButton() const { return m_closeButton; }
    WebView& webView() const { return *m_webView; }
    // 1 once the dialog has come on screen; smaller or larger while it does.
    double presentationScale() const { return m_scale; }

    // A cancelled navigation and an interrupted frame load leave the dialog as it is.
    static bool isIgnoredLoadError(const Error& error);

protected:
    bool webViewShouldStartLoadWithRequest(WebView& webView, const std::string& url,
                                           WebViewNavigationType type) override;
    void webViewDidFinishLoad(WebView& webView) override;
    void webViewDidFailLoadWithError(WebView& webView, const Error& error) override;

    // Dies with the dialog: a caller that may have deleted the dialog (through
    // a delegate) checks it before going on.
    std::weak_ptr<bool> aliveToken() const { return m_alive; }
    const FBDialogEnvironment& environment() const { return m_environment; }

private:
    void buildViews();
    void sizeToFitOrientation();
    void layoutPanel();
    void showSpinner();
    void hideSpinner();
    void showWebView();
    void schedulePresentation();
    void cancelPresentation();
    void setPresentationScale(double scale);
    void bounce(std::vector<std::pair<double, std::chrono::milliseconds>> steps);
    void updateWebOrientation();
    bool isLandscape() const;
    void storeFrictionlessRecipients(const std::string& url);
    void dismiss(bool animated);
    void postDismissCleanup();
    void addObservers();
    void removeObservers();

    FBDialogEnvironment m_environment;
    FBDialogDelegate* m_delegate;  // not owned
    FBParams m_params;
    std::string m_serverURL;
    std::string m_loadingURL;
    std::unique_ptr<WebView> m_webView;
    QPointer<ActivityIndicatorView> m_spinner;
    QPointer<Button> m_closeButton;
    InterfaceOrientation m_orientation = InterfaceOrientation::Portrait;
    bool m_showingKeyboard = false;
    bool m_isViewInvisible;
    FBFrictionlessRequestSettings* m_frictionlessSettings;  // not owned
    QPointer<QWidget> m_modalBackgroundView;
    QPointer<QWidget> m_panel;

    Rect m_frame;
    double m_scale = 1;
    bool m_shown = false;
    bool m_onWindow = false;
    bool m_closed = false;
    MainQueue::TaskId m_pendingPresentation = 0;
    std::shared_ptr<Animation> m_bounce;
    std::vector<NotificationCenter::ObserverId> m_observers;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

}  // namespace qp
