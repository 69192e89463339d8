#pragma once
// The dialog factory the app gives the social-network client: login and
// other dialogs on web views, and the web views' cookies for logout.

#include "facebook/FBDialogFactory.h"
#include "facebook/ui/FBWebDialog.h"

namespace qp {

class FBWebDialogFactory final : public FBDialogFactory {
public:
    // `cookies` (may be null) must outlive the factory.
    FBWebDialogFactory(FBDialogEnvironment environment, WebCookieStore* cookies);

    std::unique_ptr<FBDialog> makeLoginDialog(const std::string& url, const FBParams& loginParams,
                                              FBLoginDialogDelegate& loginDelegate) override;
    std::unique_ptr<FBDialog> makeDialog(const std::string& url, const FBParams& params,
                                         bool isViewInvisible,
                                         FBFrictionlessRequestSettings& frictionlessSettings,
                                         FBDialogDelegate* delegate) override;
    void deleteWebCookiesForSite(const std::string& siteURL) override;

private:
    FBDialogEnvironment m_environment;
    WebCookieStore* m_cookies;
};

}  // namespace qp
