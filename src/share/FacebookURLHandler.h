#pragma once
// Passes URLs opened into the app to the share sheet's social-network client
// while that client lives (its login answers come back this way).

#include <memory>

#include "appkit/OpenURLHandler.h"
#include "facebook/Facebook.h"

namespace qp {

class FacebookURLHandler final : public OpenURLHandler {
public:
    explicit FacebookURLHandler(std::shared_ptr<Facebook> facebook)
        : m_facebook(std::move(facebook)) {}
    bool handleOpenURL(const std::string& url) override {
        return m_facebook && m_facebook->handleOpenURL(url);
    }
    Facebook* facebook() const { return m_facebook.get(); }

private:
    std::shared_ptr<Facebook> m_facebook;
};

}  // namespace qp
