#pragma once
// The in-app login dialog: reads the access token and its lifetime from the
// success URL and reports them, or the cancel or failure, to the client.

#include "facebook/ui/FBWebDialog.h"

namespace qp {

class FBLoginDialog final : public FBWebDialog {
public:
    // initWithURL:loginParams:delegate:. The login delegate (the client) is
    // not owned and must outlive the dialog.
    FBLoginDialog(FBDialogEnvironment environment, std::string loginURL, FBParams loginParams,
                  FBLoginDialogDelegate& loginDelegate);

    void dialogDidSucceed(const std::string& url) override;
    void dialogDidCancel(const std::string& url) override;

protected:
    void webViewDidFailLoadWithError(WebView& webView, const Error& error) override;

private:
    FBLoginDialogDelegate* m_loginDelegate;
};

}  // namespace qp
