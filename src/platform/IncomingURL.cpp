#include "platform/IncomingURL.h"

#include <array>
#include <cctype>

namespace qp {

namespace {

// Parameters that never carry a token or a code.
constexpr std::array<std::string_view, 3> kHarmlessParameters = {"expires_in", "error",
                                                                 "error_reason"};

bool isSchemeStart(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0;
}

bool isSchemeChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '+' || c == '-' || c == '.';
}

// The length of the scheme before its ':', or 0 when there is none.
std::size_t schemeLength(std::string_view url) {
    if (url.empty() || !isSchemeStart(url[0])) return 0;
    std::size_t n = 1;
    while (n < url.size() && isSchemeChar(url[n])) ++n;
    return n < url.size() && url[n] == ':' ? n : 0;
}

bool isHarmless(std::string_view name) {
    for (std::string_view harmless : kHarmlessParameters)
        if (name == harmless) return true;
    return false;
}

// "a=1&b=2" with every value but the harmless ones redacted; a bare item
// (no '=') may itself be a token, so it goes whole.
std::string redactParameters(std::string_view parameters) {
    std::string out;
    std::size_t start = 0;
    while (start <= parameters.size()) {
        std::size_t end = parameters.find_first_of("&;", start);
        if (end == std::string_view::npos) end = parameters.size();
        const std::string_view item = parameters.substr(start, end - start);
        const std::size_t equals = item.find('=');
        if (!item.empty() && equals == std::string_view::npos) {
            out += kRedactedValue;
        } else if (!item.empty()) {
            const std::string_view name = item.substr(0, equals);
            out += name;
            out += '=';
            out += isHarmless(name) ? item.substr(equals + 1) : std::string_view(kRedactedValue);
        }
        if (end == parameters.size()) break;
        out += parameters[end];
        start = end + 1;
    }
    return out;
}

}  // namespace

std::optional<std::string> incomingURLProblem(std::string_view url) {
    if (url.size() > kMaxIncomingURLLength) {
        return "the URL is " + std::to_string(url.size()) + " bytes long; at most " +
               std::to_string(kMaxIncomingURLLength) + " are accepted";
    }
    for (std::size_t i = 0; i < url.size(); ++i) {
        const auto c = static_cast<unsigned char>(url[i]);
        if (c < 0x20 || c == 0x7f) {
            return "the URL holds a control character at byte " + std::to_string(i + 1) +
                   "; pass it as the browser gave it";
        }
    }
    if (schemeLength(url) == 0) {
        // The text itself is not repeated: it may be a pasted token.
        return "the URL has no scheme; give the whole URL, such as fb<app id>://authorize/#...";
    }
    return std::nullopt;
}

std::string redactedURL(std::string_view url) {
    // scheme:[//[userinfo@]host]path[?query][#fragment]
    const std::size_t fragmentAt = url.find('#');
    const std::string_view beforeFragment = url.substr(0, fragmentAt);
    const std::size_t queryAt = beforeFragment.find('?');
    std::string head(beforeFragment.substr(0, queryAt));

    const std::size_t authorityAt = head.find("//");
    if (authorityAt != std::string::npos) {
        const std::size_t authorityEnd = head.find('/', authorityAt + 2);
        const std::size_t at = head.rfind('@', authorityEnd);
        if (at != std::string::npos && at > authorityAt)
            head.replace(authorityAt + 2, at - authorityAt - 2, kRedactedValue);
    }
    std::string out = head;
    if (queryAt != std::string_view::npos)
        out += "?" + redactParameters(beforeFragment.substr(queryAt + 1));
    if (fragmentAt != std::string_view::npos)
        out += "#" + redactParameters(url.substr(fragmentAt + 1));
    return out;
}

}  // namespace qp
