#pragma once
// A web view on Qt WebEngine. Navigations are put to the delegate, including
// those to schemes the engine cannot show itself (such a page, when the
// delegate lets it through, goes to the URL opener instead). A navigation
// the engine calls a link click counts as the user's tap only when the user
// pressed a key, a button or the screen in the view just before; scripts
// that move the page on their own are not taps.

#include <QPointer>
#include <QUrl>

#include <chrono>
#include <memory>
#include <string>

#include "platform/ui/WebView.h"

class QWebEngineView;
class QWebEngineLoadingInfo;

namespace qp {

class WebEngineProfile;

class WebEngineWebView final : public WebView {
public:
    // How recent the user's input must be for a link click to count as a tap.
    static constexpr std::chrono::milliseconds kTapWindow{1000};

    WebEngineWebView(WebEngineProfile& profile, UrlOpener* urlOpener);
    ~WebEngineWebView() override;

    QWidget* widget() const override;
    void loadURL(const std::string& url) override;
    void loadHTMLString(const std::string& html, const std::string& baseURL) override;
    void stopLoading() override;
    bool isLoading() const override { return m_loading; }
    void stringByEvaluatingJavaScriptFromString(const std::string& script,
                                                ScriptCompletion done = {}) override;

    // Called by the page.
    bool acceptNavigation(const QUrl& url, int engineType, bool isMainFrame);
    void loadingChanged(const QWebEngineLoadingInfo& info);
    void userInput();

private:
    class Page;
    class InputWatcher;

    WebEngineProfile& m_profile;
    QPointer<QWebEngineView> m_view;
    QPointer<Page> m_page;
    std::unique_ptr<InputWatcher> m_inputWatcher;
    std::chrono::steady_clock::time_point m_lastInput{};
    QUrl m_refusedURL;
    bool m_loading = false;
    // Callbacks of scripts still running hold this, not the view.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

}  // namespace qp
