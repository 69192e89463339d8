#pragma once
// The delegates of the in-app web dialogs: the login dialog reports to the
// client; any other dialog reports to whoever opened it. Every operation does
// nothing unless overridden.

#include <optional>
#include <string>

#include "platform/Clock.h"
#include "platform/Error.h"

namespace qp {

class FBLoginDialogDelegate {
public:
    virtual ~FBLoginDialogDelegate() = default;
    // A token, with its expiry when the page gave one.
    virtual void fbDialogLoginExpirationDate(const std::string& /*token*/,
                                             std::optional<Clock::WallTime> /*expirationDate*/) {}
    virtual void fbDialogNotLogin(bool /*cancelled*/) {}
};

class FBDialog;

class FBDialogDelegate {
public:
    virtual ~FBDialogDelegate() = default;
    virtual void dialogCompleteWithUrl(const std::string& /*url*/) {}
    virtual void dialogDidNotCompleteWithUrl(const std::string& /*url*/) {}
    virtual void dialogDidComplete(FBDialog& /*dialog*/) {}
    virtual void dialogDidNotComplete(FBDialog& /*dialog*/) {}
    virtual void dialogDidFailWithError(FBDialog& /*dialog*/, const Error& /*error*/) {}
    // Whether a tapped link may open outside the app; yes unless overridden.
    virtual bool dialogShouldOpenURLInExternalBrowser(FBDialog& /*dialog*/,
                                                      const std::string& /*url*/) {
        return true;
    }
};

}  // namespace qp
