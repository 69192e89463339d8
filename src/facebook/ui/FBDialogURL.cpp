#include "facebook/ui/FBDialogURL.h"

#include "facebook/FBRequest.h"
#include "facebook/FBText.h"

namespace qp {

namespace {

constexpr std::string_view kNeedlePrefixes = "#&?";

// The scheme as written ("fbconnect" of "fbconnect://success"), or empty.
std::string_view schemeOf(std::string_view url) {
    const std::size_t colon = url.find(':');
    if (colon == std::string_view::npos || colon == 0) return {};
    return url.substr(0, colon);
}

}  // namespace

std::string generateURL(const std::string& baseURL, const FBParams& params) {
    if (params.empty()) return baseURL;
    // Serialised onto nothing, the pairs come after a "?" of their own.
    const std::string query = FBRequest::serializeURL("", params).substr(1);
    return fillFormat(kFBDialogURLFormat, {baseURL, query});
}

std::optional<std::string> getStringFromUrl(std::string_view url, std::string_view needle) {
    const std::size_t start = url.find(needle);
    if (start == std::string_view::npos) return std::nullopt;
    if (start > 0 && kNeedlePrefixes.find(url[start - 1]) == std::string_view::npos) {
        return std::nullopt;
    }
    const std::size_t from = start + needle.size();
    const std::size_t end = url.find('&', from);
    const std::string_view value =
        url.substr(from, end == std::string_view::npos ? end : end - from);
    return percentDecode(value).value_or(std::string(value));
}

FBDialogNavigation classifyDialogNavigation(std::string_view url) {
    const std::string_view scheme = schemeOf(url);
    if (scheme != kFBRedirectScheme) return FBDialogNavigation::Load;
    const std::string_view specifier = url.substr(scheme.size() + 1);
    return specifier.starts_with(kFBCancelSpecifier) ? FBDialogNavigation::Cancel
                                                     : FBDialogNavigation::Success;
}

}  // namespace qp
