#pragma once
// The WebEngine side of the web views: the engine's start-up settings, the
// profile (cache and cookies) every view shares, and the views themselves.
// The engine starts only when the first view is made or the cookies are
// first touched, so a run that shows no page never starts it.

#include <QPointer>
#include <QWidget>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include <QNetworkCookie>

#include "platform/HttpClient.h"
#include "platform/ui/WebView.h"

class QWebEngineProfile;

namespace qp {

class UrlOpener;

// Call before the QApplication exists. Chromium refuses to run as root with
// its sandbox on, so as root the sandbox is turned off (said once in the log
// when the engine starts); anyone else keeps it.
void prepareWebEngine();
// Whether prepareWebEngine() turned the sandbox off.
bool webEngineSandboxDisabled();

class WebEngineProfile final : public WebCookieStore {
public:
    // `storageFolder` keeps cookies and cache across runs; empty: nothing is
    // kept (off the record). Links the user taps that the app hands on, and
    // pages of schemes the engine cannot show, go to `urlOpener`.
    WebEngineProfile(std::filesystem::path storageFolder, UrlOpener* urlOpener);
    ~WebEngineProfile() override;
    WebEngineProfile(const WebEngineProfile&) = delete;
    WebEngineProfile& operator=(const WebEngineProfile&) = delete;

    std::unique_ptr<WebView> makeWebView();
    WebViewFactory webViewFactory();

    // The cookies known so far (those on disk arrive shortly after start).
    std::vector<HttpCookie> cookies() const;
    // Deletes the matching cookies now, and any matching ones that the store
    // on disk still delivers before a page of ours starts loading.
    void deleteCookiesForSite(const std::string& siteURL) override;

    // Told by the views: a page starts loading, so cookies from now on are
    // the pages' own.
    void pageLoadStarted();
    QWebEngineProfile* profile();

private:
    using CookieKey = std::tuple<std::string, std::string, std::string>;  // domain, path, name
    static CookieKey keyOf(const QNetworkCookie& cookie);
    void cookieAdded(const QNetworkCookie& cookie);
    bool deletesOnArrival(const HttpCookie& cookie) const;

    std::filesystem::path m_storageFolder;
    UrlOpener* m_urlOpener;
    QPointer<QWebEngineProfile> m_profile;
    std::map<CookieKey, QNetworkCookie> m_cookies;
    std::vector<std::string> m_clearedSites;
    std::vector<QPointer<QWidget>> m_views;
};

}  // namespace qp
