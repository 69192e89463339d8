#include "facebook/ui/FBLoginDialog.h"

#include "facebook/FBDates.h"
#include "facebook/FBText.h"
#include "facebook/FacebookConstants.h"
#include "facebook/ui/FBDialogURL.h"

namespace qp {

FBLoginDialog::FBLoginDialog(FBDialogEnvironment environment, std::string loginURL,
                             FBParams loginParams, FBLoginDialogDelegate& loginDelegate)
    : FBWebDialog(std::move(environment), std::move(loginURL), std::move(loginParams), false,
                  nullptr, nullptr),
      m_loginDelegate(&loginDelegate) {}

void FBLoginDialog::dialogDidSucceed(const std::string& url) {
    if (isClosed()) return;
    const std::optional<std::string> token = getStringFromUrl(url, kFBAccessTokenNeedle);
    if (!token || token->empty()) {
        // A success without a token is a cancel.
        dialogDidCancel(url);
        return;
    }
    std::optional<Clock::WallTime> expirationDate;
    if (const std::optional<std::string> expiresIn = getStringFromUrl(url, kFBExpiresInNeedle)) {
        const std::int64_t seconds = integerValue(*expiresIn);
        const Clock::WallTime now =
            environment().clock ? environment().clock->now() : std::chrono::system_clock::now();
        expirationDate = seconds == 0 ? kFBDistantFuture : fbDateAfter(now, seconds);
    }
    std::weak_ptr<bool> alive = aliveToken();
    m_loginDelegate->fbDialogLoginExpirationDate(*token, expirationDate);
    if (!alive.expired()) dismissWithSuccessAnimated(true, true);
}

void FBLoginDialog::dialogDidCancel(const std::string&) {
    if (isClosed()) return;
    FBLoginDialogDelegate* loginDelegate = m_loginDelegate;
    std::weak_ptr<bool> alive = aliveToken();
    dismissWithSuccessAnimated(false, true);
    if (!alive.expired()) loginDelegate->fbDialogNotLogin(true);
}

void FBLoginDialog::webViewDidFailLoadWithError(WebView& webView, const Error& error) {
    if (isIgnoredLoadError(error)) return;
    FBLoginDialogDelegate* loginDelegate = m_loginDelegate;
    std::weak_ptr<bool> alive = aliveToken();
    FBWebDialog::webViewDidFailLoadWithError(webView, error);
    if (!alive.expired()) loginDelegate->fbDialogNotLogin(false);
}

}  // namespace qp
