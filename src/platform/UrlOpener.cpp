#include "platform/UrlOpener.h"

#include <cctype>

namespace qp {

std::string urlScheme(const std::string& url) {
    // scheme = ALPHA *( ALPHA / DIGIT / "+" / "-" / "." ) followed by ':'
    if (url.empty() || !std::isalpha(static_cast<unsigned char>(url[0]))) return {};
    std::string scheme;
    for (char ch : url) {
        if (ch == ':') return scheme;
        const auto c = static_cast<unsigned char>(ch);
        if (!std::isalnum(c) && ch != '+' && ch != '-' && ch != '.') return {};
        scheme += static_cast<char>(std::tolower(c));
    }
    return {};
}

}  // namespace qp
