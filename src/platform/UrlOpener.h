#pragma once
// Hands URLs to other programs, as the phone's application object did.

#include <string>

namespace qp {

class UrlOpener {
public:
    virtual ~UrlOpener() = default;
    // True when some program is registered for the URL's scheme.
    virtual bool canOpenURL(const std::string& url) const = 0;
    // Asks the desktop to open the URL; false when it could not be handed over.
    virtual bool openURL(const std::string& url) = 0;
};

// The scheme of a URL ("instagram" for "instagram://app"), lower-cased; empty
// when the text has no scheme.
std::string urlScheme(const std::string& url);

}  // namespace qp
