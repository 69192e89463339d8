#pragma once
// A web view whose page a test plays by hand: it records what it was asked
// to load and evaluate, and the test makes the page navigate (asking the
// delegate as a real view does), finish or fail.
//
//     auto view = std::make_unique<ScriptedWebView>(&opener);
//     ScriptedWebView& page = *view;   // keep a handle before handing it over
//     page.navigate("fbconnect://success#access_token=x");

#include <QPointer>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/WebView.h"

namespace qp {

class ScriptedWebView final : public WebView {
public:
    explicit ScriptedWebView(UrlOpener* urlOpener = nullptr)
        : WebView(urlOpener), m_widget(new QWidget()) {
        m_widget->setObjectName("ScriptedWebView");
    }
    ~ScriptedWebView() override {
        if (alive) *alive = false;
        if (m_widget && !m_widget->parent()) delete m_widget.data();
    }

    QWidget* widget() const override { return m_widget; }
    void loadURL(const std::string& url) override {
        loads.push_back(url);
        loading = true;
    }
    void loadHTMLString(const std::string& html, const std::string& baseURL) override {
        loads.push_back("html:" + baseURL + ":" + html);
        loading = true;
    }
    void stopLoading() override {
        ++stops;
        loading = false;
    }
    bool isLoading() const override { return loading; }
    void stringByEvaluatingJavaScriptFromString(const std::string& script,
                                                ScriptCompletion done = {}) override {
        scripts.push_back(script);
        if (done) done(std::nullopt);
    }

    // The page moves to `url`: the delegate decides; true when the view loads it.
    bool navigate(const std::string& url,
                  WebViewNavigationType type = WebViewNavigationType::Other) {
        const bool allowed =
            !delegate() || delegate()->webViewShouldStartLoadWithRequest(*this, url, type);
        if (allowed) loads.push_back(url);
        return allowed;
    }
    void start() {
        if (delegate()) delegate()->webViewDidStartLoad(*this);
    }
    void finish() {
        loading = false;
        if (delegate()) delegate()->webViewDidFinishLoad(*this);
    }
    void fail(const Error& error) {
        loading = false;
        if (delegate()) delegate()->webViewDidFailLoadWithError(*this, error);
    }

    std::vector<std::string> loads;
    std::vector<std::string> scripts;
    int stops = 0;
    bool loading = false;
    // Set by a test that keeps a handle: false once the view is gone.
    std::shared_ptr<bool> alive = std::make_shared<bool>(true);

private:
    QPointer<QWidget> m_widget;
};

}  // namespace qp
