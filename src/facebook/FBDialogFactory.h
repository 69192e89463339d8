#pragma once
// Makes the in-app web dialogs, so that the client's logic needs no widgets:
// the app injects the web-view implementation, tests a recording one.

#include <memory>
#include <string>

#include "facebook/FBDialogDelegates.h"
#include "facebook/FBParams.h"

namespace qp {

class FBFrictionlessRequestSettings;

// A dialog made by the factory; shown once, it closes itself.
class FBDialog {
public:
    virtual ~FBDialog() = default;
    virtual void show() = 0;
};

class FBDialogFactory {
public:
    virtual ~FBDialogFactory() = default;

    // The login dialog for `url` (the dialog endpoint's login action) with
    // the login parameters; it reports to `loginDelegate`.
    virtual std::unique_ptr<FBDialog> makeLoginDialog(const std::string& url,
                                                      const FBParams& loginParams,
                                                      FBLoginDialogDelegate& loginDelegate) = 0;
    // Any other dialog; an invisible one comes on screen only when its page
    // has loaded.
    virtual std::unique_ptr<FBDialog> makeDialog(
        const std::string& url, const FBParams& params, bool isViewInvisible,
        FBFrictionlessRequestSettings& frictionlessSettings, FBDialogDelegate* delegate) = 0;
    // Forgets the cookies the dialogs' pages keep for `siteURL`, so that a
    // logout also ends the service's own login in them.
    virtual void deleteWebCookiesForSite(const std::string& /*siteURL*/) {}
};

}  // namespace qp
