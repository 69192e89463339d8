#pragma once
// The in-app web view as screens see it: it loads a URL or HTML text, asks
// its delegate before each navigation (and whether the user tapped a link),
// reports when a page starts, finishes or fails to load, evaluates script in
// the page and hands URLs to other programs through the URL opener. The app
// makes them with the WebEngine backend; tests script one by hand.

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/Error.h"

class QWidget;

namespace qp {

class UrlOpener;
class WebView;

enum class WebViewNavigationType {
    LinkClicked = 0,
    FormSubmitted = 1,
    BackForward = 2,
    Reload = 3,
    FormResubmitted = 4,
    Other = 5
};

// The two load failures a page may cause on its own: a navigation cancelled
// by a newer one, and a frame load interrupted because a navigation was
// refused. Every other failure is in kWebViewErrorDomain.
inline constexpr const char* kNSURLErrorDomain = "NSURLErrorDomain";
inline constexpr int kNSURLErrorCancelled = -999;
inline constexpr const char* kWebKitErrorDomain = "WebKitErrorDomain";
inline constexpr int kWebKitErrorFrameLoadInterrupted = 102;
inline constexpr const char* kWebViewErrorDomain = "WebViewErrorDomain";
// Details of a load error: the URL that failed, and what kind of failure it
// was ("connection", "certificate", "http", "dns", "internal", "ftp").
inline constexpr const char* kWebViewFailingURLKey = "NSErrorFailingURLStringKey";
inline constexpr const char* kWebViewErrorKindKey = "WebViewErrorKind";

class WebViewDelegate {
public:
    virtual ~WebViewDelegate() = default;
    // Whether the view may load `url`; yes unless overridden.
    virtual bool webViewShouldStartLoadWithRequest(WebView& /*webView*/, const std::string& /*url*/,
                                                   WebViewNavigationType /*type*/) {
        return true;
    }
    virtual void webViewDidStartLoad(WebView& /*webView*/) {}
    virtual void webViewDidFinishLoad(WebView& /*webView*/) {}
    virtual void webViewDidFailLoadWithError(WebView& /*webView*/, const Error& /*error*/) {}
};

class WebView {
public:
    // The script's result as text; none when it failed or gave nothing.
    using ScriptCompletion = std::function<void(std::optional<std::string> result)>;

    explicit WebView(UrlOpener* urlOpener) : m_urlOpener(urlOpener) {}
    virtual ~WebView() = default;
    WebView(const WebView&) = delete;
    WebView& operator=(const WebView&) = delete;

    // The widget that shows the page; its parent owns it once it has one.
    // Null once the widget has been destroyed.
    virtual QWidget* widget() const = 0;

    WebViewDelegate* delegate() const { return m_delegate; }
    // Not owned; null stops every callback.
    void setDelegate(WebViewDelegate* delegate) { m_delegate = delegate; }

    virtual void loadURL(const std::string& url) = 0;
    virtual void loadHTMLString(const std::string& html, const std::string& baseURL) = 0;
    virtual void stopLoading() = 0;
    virtual bool isLoading() const = 0;
    // Runs `script` in the page; `done` (if given) hears the result later.
    virtual void stringByEvaluatingJavaScriptFromString(const std::string& script,
                                                        ScriptCompletion done = {}) = 0;

    // Opens `url` outside the app; false when nothing took it (or there is
    // no URL opener).
    bool openURLOutsideApp(const std::string& url);

private:
    WebViewDelegate* m_delegate = nullptr;
    UrlOpener* m_urlOpener;
};

// Makes web views; each call a new one.
using WebViewFactory = std::function<std::unique_ptr<WebView>()>;

// The cookies the web views' pages keep.
class WebCookieStore {
public:
    virtual ~WebCookieStore() = default;
    // Deletes every cookie that would be sent to `siteURL`.
    virtual void deleteCookiesForSite(const std::string& siteURL) = 0;
};

}  // namespace qp
