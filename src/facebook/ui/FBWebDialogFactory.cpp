#include "facebook/ui/FBWebDialogFactory.h"

#include "facebook/ui/FBLoginDialog.h"

namespace qp {

FBWebDialogFactory::FBWebDialogFactory(FBDialogEnvironment environment, WebCookieStore* cookies)
    : m_environment(std::move(environment)), m_cookies(cookies) {}

std::unique_ptr<FBDialog> FBWebDialogFactory::makeLoginDialog(
    const std::string& url, const FBParams& loginParams, FBLoginDialogDelegate& loginDelegate) {
    return std::make_unique<FBLoginDialog>(m_environment, url, loginParams, loginDelegate);
}

std::unique_ptr<FBDialog> FBWebDialogFactory::makeDialog(
    const std::string& url, const FBParams& params, bool isViewInvisible,
    FBFrictionlessRequestSettings& frictionlessSettings, FBDialogDelegate* delegate) {
    return std::make_unique<FBWebDialog>(m_environment, url, params, isViewInvisible,
                                         &frictionlessSettings, delegate);
}

void FBWebDialogFactory::deleteWebCookiesForSite(const std::string& siteURL) {
    if (m_cookies) m_cookies->deleteCookiesForSite(siteURL);
}

}  // namespace qp
