#pragma once
// Opens URLs through the desktop: a scheme can be opened when an
// x-scheme-handler/<scheme> handler is registered, and openURL runs xdg-open.

#include "platform/UrlOpener.h"

namespace qp {

class DesktopUrlOpener final : public UrlOpener {
public:
    bool canOpenURL(const std::string& url) const override;
    bool openURL(const std::string& url) override;
};

}  // namespace qp
