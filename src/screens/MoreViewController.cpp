#include "screens/MoreViewController.h"

#include <QLabel>
#include <QVBoxLayout>

#include "appkit/Configuration.h"
#include "platform/Log.h"
#include "platform/ui/ActivityIndicatorView.h"
#include "screens/MainViewController.h"
#include "screens/MoreAppsPage.h"
#include "screens/NetworkActivityMark.h"

namespace qp {

namespace {
constexpr const char* kWebViewOutlet = "moreAppsWebView";
constexpr const char* kSpinnerOutlet = "webActivityIndicatorView";
constexpr const char* kVersionLabelOutlet = "appVersionLabel";
constexpr const char* kTitleLabelOutlet = "titleLabel";
constexpr const char* kShortVersionKey = "CFBundleShortVersionString";
}  // namespace

const char* appVersion() {
    return QP_APP_VERSION;
}

std::string infoDictionaryValue(const std::string& key) {
    return key == kShortVersionKey ? appVersion() : std::string();
}

MoreViewController::MoreViewController(std::string layoutName, const AppContext& context)
    : ViewController(std::move(layoutName)), m_context(context), m_title(kMoreTitle) {}

MoreViewController::~MoreViewController() {
    // A page still loading when the screen goes must not leave the mark behind.
    setNetworkActivityIndicatorVisible(false);
    if (m_moreAppsWebView) m_moreAppsWebView->setDelegate(nullptr);
    if (m_offlineMsgAlert) m_offlineMsgAlert->setDelegate(nullptr);
}

std::vector<std::string> MoreViewController::requiredOutlets() const {
    return {kWebViewOutlet, kSpinnerOutlet, kVersionLabelOutlet, kTitleLabelOutlet};
}

std::map<std::string, ViewController::Action> MoreViewController::actions() {
    return {{"actionBackButton", [this](QObject* s) { actionBackButton(s); }}};
}

bool MoreViewController::shouldAutorotateToInterfaceOrientation(
    InterfaceOrientation orientation) const {
    return orientation == InterfaceOrientation::Portrait ||
           orientation == InterfaceOrientation::PortraitUpsideDown;
}

void MoreViewController::viewDidLoad() {
    logLine("-[MoreViewController viewDidLoad]");
    ViewController::viewDidLoad();
    if (auto* titleLabel = outlet<QLabel>(kTitleLabelOutlet))
        titleLabel->setText(QString::fromUtf8(m_title));
    if (auto* versionLabel = outlet<QLabel>(kVersionLabelOutlet))
        versionLabel->setText(QString::fromStdString(
            formatWithObject(kVersionLabelFormat, infoDictionaryValue(kShortVersionKey))));
    placeWebView();
    m_loadingMoreAppsWebPage = true;
    loadPage();
}

void MoreViewController::placeWebView() {
    QWidget* slot = outlet(kWebViewOutlet);
    if (!m_context.makeWebView) {
        logLine("No web view can be made here; the more-apps page is not shown");
        return;
    }
    m_moreAppsWebView = m_context.makeWebView();
    if (!m_moreAppsWebView) return;
    m_moreAppsWebView->setDelegate(this);
    if (QWidget* page = m_moreAppsWebView->widget(); page && slot) {
        // The page fills its place in the layout.
        auto* fill = new QVBoxLayout(slot);
        fill->setContentsMargins(0, 0, 0, 0);
        fill->addWidget(page);
    }
}

void MoreViewController::loadPage() {
    if (!m_moreAppsWebView) return;
    const std::string host = m_context.config ? m_context.config->value(config::kMoreAppsHost) : "";
    if (const std::string url = moreAppsPageUrl(host); !url.empty()) {
        m_moreAppsWebView->loadURL(url);
    } else {
        m_moreAppsWebView->loadHTMLString(localMoreAppsPage(appVersion()), kLocalPageBaseURL);
    }
}

void MoreViewController::viewWillAppear(bool) {
    logLine("-[MoreViewController viewWillAppear:]");
    if (m_moreAppsWebView)
        m_moreAppsWebView->stringByEvaluatingJavaScriptFromString(kScrollToTopScript);
}

void MoreViewController::actionBackButton(QObject*) {
    dismissViewControllerAnimated(true);
}

void MoreViewController::setNetworkActivityIndicatorVisible(bool visible) {
    if (visible) {
        if (!isViewLoaded()) return;
        m_activityWindow = view()->window();
    }
    setNetworkActivityMark(m_activityWindow, visible);
}

void MoreViewController::setSpinnerAnimating(bool animating) {
    auto* spinner = dynamic_cast<ActivityIndicatorView*>(outlet(kSpinnerOutlet));
    if (!spinner) return;
    if (animating) {
        spinner->startAnimating();
    } else {
        spinner->stopAnimating();
    }
}

void MoreViewController::webViewDidStartLoad(WebView&) {
    setNetworkActivityIndicatorVisible(true);
    setSpinnerAnimating(true);
}

void MoreViewController::webViewDidFinishLoad(WebView&) {
    setNetworkActivityIndicatorVisible(false);
    setSpinnerAnimating(false);
    m_loadingMoreAppsWebPage = false;
}

void MoreViewController::webViewDidFailLoadWithError(WebView&, const Error& error) {
    setNetworkActivityIndicatorVisible(false);
    setSpinnerAnimating(false);
    logf("The more-apps page did not load: {}", error.description());
    if (!m_loadingMoreAppsWebPage) return;
    // A load the page itself replaced or stopped says nothing about the
    // connection; only real failures tell the user that it is down.
    if ((error.domain() == kNSURLErrorDomain && error.code() == kNSURLErrorCancelled) ||
        (error.domain() == kWebKitErrorDomain && error.code() == kWebKitErrorFrameLoadInterrupted))
        return;
    m_offlineMsgAlert = AlertView::create("", kOfflineMessage, this, kOfflineButtonTitle);
    m_offlineMsgAlert->show();
}

}  // namespace qp
