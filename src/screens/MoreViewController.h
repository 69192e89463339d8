#pragma once
// The more-apps screen: the app's version and a web page of the maker's other
// apps. The application object re-creates it after every stay in the
// background, so each instance loads its page once, the first time it is
// shown, and later showings scroll the loaded page back to the top.

#include <QPointer>

#include <memory>
#include <string>

#include "appkit/AppContext.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/WebView.h"

namespace qp {

class MoreViewController : public ViewController, public WebViewDelegate, public AlertViewDelegate {
public:
    MoreViewController(std::string layoutName, const AppContext& context);
    ~MoreViewController() override;

    const std::string& title() const { return m_title; }

    void actionBackButton(QObject* sender);
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    bool shouldAutorotateToInterfaceOrientation(InterfaceOrientation orientation) const override;

    void webViewDidStartLoad(WebView& webView) override;
    void webViewDidFinishLoad(WebView& webView) override;
    void webViewDidFailLoadWithError(WebView& webView, const Error& error) override;

    // True from the start of the first load until a load finishes.
    bool isLoadingMoreAppsWebPage() const { return m_loadingMoreAppsWebPage; }
    // The web view once the view is loaded; null where none can be made.
    WebView* moreAppsWebView() const { return m_moreAppsWebView.get(); }
    // The last offline alert shown, if any.
    AlertView* offlineMsgAlert() const { return m_offlineMsgAlert.get(); }

protected:
    std::vector<std::string> requiredOutlets() const override;
    std::map<std::string, Action> actions() override;

private:
    void placeWebView();
    void loadPage();
    void setNetworkActivityIndicatorVisible(bool visible);
    void setSpinnerAnimating(bool animating);

    AppContext m_context;
    std::string m_title;
    std::unique_ptr<WebView> m_moreAppsWebView;
    std::shared_ptr<AlertView> m_offlineMsgAlert;
    bool m_loadingMoreAppsWebPage = false;
    // The window whose title carries the network-activity mark.
    QPointer<QWidget> m_activityWindow;
};

// The version the app reports, as `quillpost --version` prints it.
const char* appVersion();

// The app's information entries by their bundle keys; the one kept is the
// short version ("CFBundleShortVersionString"). Empty for any other key.
std::string infoDictionaryValue(const std::string& key);

}  // namespace qp
