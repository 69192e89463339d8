#include "screens/SettingsLinks.h"

#include <initializer_list>

namespace qp {

namespace {

// Fills each "%@" of `format` in turn; the values are never searched.
std::string formatWithObjects(const std::string& format,
                              std::initializer_list<std::string> values) {
    std::string out;
    std::size_t from = 0;
    for (const std::string& value : values) {
        const std::size_t at = format.find("%@", from);
        if (at == std::string::npos) break;
        out.append(format, from, at - from).append(value);
        from = at + 2;
    }
    return out.append(format, from, std::string::npos);
}

}  // namespace

std::string httpBaseUrl(const std::string& host) {
    if (host.empty()) return {};
    std::string url = host.find("://") == std::string::npos ? "http://" + host : host;
    while (url.size() > 1 && url.back() == '/') url.pop_back();
    return url;
}

std::optional<std::string> storeReviewAddress(const std::string& storeHost,
                                              const std::string& storeId) {
    if (storeHost.empty() || storeId.empty() ||
        storeId.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    // The three pieces follow each other with nothing between them.
    return formatWithObjects(kReviewAddressFormat, {httpBaseUrl(storeHost) + kReviewPageBase,
                                                    storeId, kReviewPageQueryRest});
}

}  // namespace qp
