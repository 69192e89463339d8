#include "platform/ui/WebEngineWebView.h"

#include <QApplication>
#include <QEvent>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include <set>

#include "platform/ui/WebEngineErrors.h"
#include "platform/ui/WebEngineProfile.h"

namespace qp {

namespace {

// Schemes the engine shows itself; any other goes through the delegate to
// the URL opener.
const std::set<QString>& engineSchemes() {
    static const std::set<QString> schemes{"http",  "https", "file", "data",
                                           "about", "blob",  "qrc",  "ftp"};
    return schemes;
}

WebEngineErrorKind errorKind(QWebEngineLoadingInfo::ErrorDomain domain) {
    switch (domain) {
        case QWebEngineLoadingInfo::NoErrorDomain:
            return WebEngineErrorKind::None;
        case QWebEngineLoadingInfo::InternalErrorDomain:
            return WebEngineErrorKind::Internal;
        case QWebEngineLoadingInfo::ConnectionErrorDomain:
            return WebEngineErrorKind::Connection;
        case QWebEngineLoadingInfo::CertificateErrorDomain:
            return WebEngineErrorKind::Certificate;
        case QWebEngineLoadingInfo::HttpErrorDomain:
            return WebEngineErrorKind::Http;
        case QWebEngineLoadingInfo::FtpErrorDomain:
            return WebEngineErrorKind::Ftp;
        case QWebEngineLoadingInfo::DnsErrorDomain:
            return WebEngineErrorKind::Dns;
        case QWebEngineLoadingInfo::HttpStatusCodeDomain:
            return WebEngineErrorKind::HttpStatus;
    }
    return WebEngineErrorKind::Internal;
}

}  // namespace

class WebEngineWebView::Page final : public QWebEnginePage {
public:
    Page(QWebEngineProfile* profile, QObject* parent, WebEngineWebView& owner)
        : QWebEnginePage(profile, parent), m_owner(&owner) {}
    void detach() { m_owner = nullptr; }

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override {
        return m_owner ? m_owner->acceptNavigation(url, type, isMainFrame) : false;
    }

private:
    WebEngineWebView* m_owner;
};

// Notes presses, touches and keys aimed at the view or its children.
class WebEngineWebView::InputWatcher final : public QObject {
public:
    InputWatcher(WebEngineWebView& owner, QWidget* view) : m_owner(owner), m_view(view) {
        qApp->installEventFilter(this);
    }
    ~InputWatcher() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type != QEvent::MouseButtonPress && type != QEvent::TouchBegin &&
            type != QEvent::KeyPress) {
            return false;
        }
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && m_view && (widget == m_view || m_view->isAncestorOf(widget))) {
            m_owner.userInput();
        }
        return false;
    }

private:
    WebEngineWebView& m_owner;
    QPointer<QWidget> m_view;
};

WebEngineWebView::WebEngineWebView(WebEngineProfile& profile, UrlOpener* urlOpener)
    : WebView(urlOpener), m_profile(profile) {
    m_view = new QWebEngineView();
    m_page = new Page(profile.profile(), m_view, *this);
    // Unknown schemes come to acceptNavigationRequest, which never lets the
    // engine hand them to the desktop itself.
    m_page->settings()->setUnknownUrlSchemePolicy(QWebEngineSettings::AllowAllUnknownUrlSchemes);
    m_view->setPage(m_page);
    QObject::connect(m_page, &QWebEnginePage::loadingChanged, m_view,
                     [this](const QWebEngineLoadingInfo& info) { loadingChanged(info); });
    m_inputWatcher = std::make_unique<InputWatcher>(*this, m_view);
}

WebEngineWebView::~WebEngineWebView() {
    *m_alive = false;
    m_inputWatcher.reset();
    if (m_page) m_page->detach();
    // The view may be inside one of its own callbacks: let it go later.
    if (m_view) {
        m_view->hide();
        m_view->deleteLater();
    }
}

QWidget* WebEngineWebView::widget() const {
    return m_view;
}

void WebEngineWebView::loadURL(const std::string& url) {
    if (m_page) m_page->load(QUrl(QString::fromStdString(url)));
}

void WebEngineWebView::loadHTMLString(const std::string& html, const std::string& baseURL) {
    if (m_page) {
        m_page->setHtml(QString::fromStdString(html), QUrl(QString::fromStdString(baseURL)));
    }
}

void WebEngineWebView::stopLoading() {
    if (m_page) m_page->triggerAction(QWebEnginePage::Stop);
}

void WebEngineWebView::stringByEvaluatingJavaScriptFromString(const std::string& script,
                                                              ScriptCompletion done) {
    if (!m_page) {
        if (done) done(std::nullopt);
        return;
    }
    std::weak_ptr<bool> alive = m_alive;
    m_page->runJavaScript(QString::fromStdString(script),
                          [alive, done = std::move(done)](const QVariant& result) {
                              if (!done || alive.expired()) return;
                              if (!result.isValid() || result.isNull()) {
                                  done(std::nullopt);
                              } else {
                                  done(result.toString().toStdString());
                              }
                          });
}

void WebEngineWebView::userInput() {
    m_lastInput = std::chrono::steady_clock::now();
}

bool WebEngineWebView::acceptNavigation(const QUrl& url, int engineType, bool isMainFrame) {
    WebViewNavigationType type = WebViewNavigationType::Other;
    switch (static_cast<QWebEnginePage::NavigationType>(engineType)) {
        case QWebEnginePage::NavigationTypeLinkClicked: {
            const bool recentInput = m_lastInput.time_since_epoch().count() != 0 &&
                                     std::chrono::steady_clock::now() - m_lastInput <= kTapWindow;
            type = recentInput ? WebViewNavigationType::LinkClicked : WebViewNavigationType::Other;
            break;
        }
        case QWebEnginePage::NavigationTypeFormSubmitted:
            type = WebViewNavigationType::FormSubmitted;
            break;
        case QWebEnginePage::NavigationTypeBackForward:
            type = WebViewNavigationType::BackForward;
            break;
        case QWebEnginePage::NavigationTypeReload:
            type = WebViewNavigationType::Reload;
            break;
        default:
            break;
    }
    if (type == WebViewNavigationType::LinkClicked) m_lastInput = {};

    const std::string text = url.toString(QUrl::FullyEncoded).toStdString();
    bool allowed = true;
    if (WebViewDelegate* d = delegate()) {
        std::weak_ptr<bool> alive = m_alive;
        allowed = d->webViewShouldStartLoadWithRequest(*this, text, type);
        if (alive.expired()) return false;
    }
    if (allowed && !engineSchemes().contains(url.scheme().toLower())) {
        // A page the engine cannot show, such as a mail or store link.
        openURLOutsideApp(text);
        allowed = false;
    }
    if (!allowed && isMainFrame) m_refusedURL = url;
    return allowed;
}

void WebEngineWebView::loadingChanged(const QWebEngineLoadingInfo& info) {
    switch (info.status()) {
        case QWebEngineLoadingInfo::LoadStartedStatus:
            m_loading = true;
            m_profile.pageLoadStarted();
            if (delegate()) delegate()->webViewDidStartLoad(*this);
            return;
        case QWebEngineLoadingInfo::LoadSucceededStatus:
            m_loading = false;
            if (delegate()) delegate()->webViewDidFinishLoad(*this);
            return;
        case QWebEngineLoadingInfo::LoadStoppedStatus:
        case QWebEngineLoadingInfo::LoadFailedStatus: {
            m_loading = false;
            const bool refused = !m_refusedURL.isEmpty() && info.url() == m_refusedURL;
            if (refused) m_refusedURL.clear();
            const Error error =
                webViewLoadError(errorKind(info.errorDomain()), info.errorCode(), refused,
                                 info.url().toString(QUrl::FullyEncoded).toStdString(),
                                 info.errorString().toStdString());
            if (delegate()) delegate()->webViewDidFailLoadWithError(*this, error);
            return;
        }
    }
}

}  // namespace qp
