#include "platform/ui/WebEngineProfile.h"

#include <QCoreApplication>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>

#include <cstdlib>

#include <unistd.h>

#include "platform/Log.h"
#include "platform/ui/WebEngineWebView.h"

namespace qp {

namespace {

constexpr const char* kProfileName = "Quillpost";
constexpr const char* kDisableSandboxVariable = "QTWEBENGINE_DISABLE_SANDBOX";
bool g_sandboxDisabled = false;

HttpCookie httpCookie(const QNetworkCookie& cookie) {
    HttpCookie out;
    out.domain = cookie.domain().toStdString();
    out.path = cookie.path().isEmpty() ? "/" : cookie.path().toStdString();
    out.name = cookie.name().toStdString();
    out.value = cookie.value().toStdString();
    out.secure = cookie.isSecure();
    return out;
}

}  // namespace

void prepareWebEngine() {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (geteuid() == 0 && !std::getenv(kDisableSandboxVariable)) {
        setenv(kDisableSandboxVariable, "1", 1);
        g_sandboxDisabled = true;
    }
}

bool webEngineSandboxDisabled() {
    return g_sandboxDisabled;
}

WebEngineProfile::WebEngineProfile(std::filesystem::path storageFolder, UrlOpener* urlOpener)
    : m_storageFolder(std::move(storageFolder)), m_urlOpener(urlOpener) {}

WebEngineProfile::~WebEngineProfile() {
    // The engine wants every page of a profile gone before the profile.
    for (const QPointer<QWidget>& view : m_views) delete view.data();
    delete m_profile.data();
}

QWebEngineProfile* WebEngineProfile::profile() {
    if (m_profile) return m_profile;
    static bool told = false;
    if (g_sandboxDisabled && !told) {
        told = true;
        logLine("Web view: running as root, so the web engine's sandbox is off");
    }
    if (m_storageFolder.empty()) {
        m_profile = new QWebEngineProfile();
    } else {
        m_profile = new QWebEngineProfile(QString::fromUtf8(kProfileName));
        m_profile->setPersistentStoragePath(QString::fromStdString(m_storageFolder.string()));
        m_profile->setCachePath(QString::fromStdString((m_storageFolder / "Cache").string()));
        m_profile->setPersistentCookiesPolicy(QWebEngineProfile::AllowPersistentCookies);
    }
    QWebEngineCookieStore* store = m_profile->cookieStore();
    QObject::connect(store, &QWebEngineCookieStore::cookieAdded, m_profile,
                     [this](const QNetworkCookie& cookie) { cookieAdded(cookie); });
    QObject::connect(store, &QWebEngineCookieStore::cookieRemoved, m_profile,
                     [this](const QNetworkCookie& cookie) { m_cookies.erase(keyOf(cookie)); });
    store->loadAllCookies();
    return m_profile;
}

std::unique_ptr<WebView> WebEngineProfile::makeWebView() {
    auto view = std::make_unique<WebEngineWebView>(*this, m_urlOpener);
    std::erase_if(m_views, [](const QPointer<QWidget>& made) { return made.isNull(); });
    m_views.emplace_back(view->widget());
    return view;
}

WebViewFactory WebEngineProfile::webViewFactory() {
    return [this] { return makeWebView(); };
}

WebEngineProfile::CookieKey WebEngineProfile::keyOf(const QNetworkCookie& cookie) {
    return {cookie.domain().toStdString(), cookie.path().toStdString(),
            cookie.name().toStdString()};
}

std::vector<HttpCookie> WebEngineProfile::cookies() const {
    std::vector<HttpCookie> out;
    for (const auto& [key, cookie] : m_cookies) out.push_back(httpCookie(cookie));
    return out;
}

void WebEngineProfile::cookieAdded(const QNetworkCookie& cookie) {
    if (deletesOnArrival(httpCookie(cookie))) {
        m_profile->cookieStore()->deleteCookie(cookie);
        return;
    }
    m_cookies[keyOf(cookie)] = cookie;
}

bool WebEngineProfile::deletesOnArrival(const HttpCookie& cookie) const {
    for (const std::string& site : m_clearedSites) {
        if (httpCookieAppliesToURL(cookie, site)) return true;
    }
    return false;
}

void WebEngineProfile::deleteCookiesForSite(const std::string& siteURL) {
    if (siteURL.empty()) return;
    QWebEngineCookieStore* store = profile()->cookieStore();
    for (auto it = m_cookies.begin(); it != m_cookies.end();) {
        if (httpCookieAppliesToURL(httpCookie(it->second), siteURL)) {
            store->deleteCookie(it->second);
            it = m_cookies.erase(it);
        } else {
            ++it;
        }
    }
    // Until a page loads, every cookie that arrives comes from the store on
    // disk, which may not have delivered all of them yet.
    m_clearedSites.push_back(siteURL);
}

void WebEngineProfile::pageLoadStarted() {
    m_clearedSites.clear();
}

}  // namespace qp
