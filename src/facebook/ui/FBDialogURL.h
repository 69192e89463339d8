#pragma once
// The URLs of the in-app web dialogs: building the page's URL from its base
// and parameters, telling the redirect scheme's outcomes apart and reading
// values out of them. Plain functions.

#include <optional>
#include <string>
#include <string_view>

#include "facebook/FBParams.h"

namespace qp {

inline constexpr const char* kFBRedirectScheme = "fbconnect";
inline constexpr const char* kFBCancelSpecifier = "//cancel";
inline constexpr const char* kFBErrorCodeNeedle = "error_code=";
inline constexpr const char* kFBErrorMessageNeedle = "error_msg=";
inline constexpr const char* kFBFrictionlessRecipientsNeedle = "frictionless_recipients=";
inline constexpr const char* kFBErrorMessageKey = "error_msg";
inline constexpr const char* kFBDialogURLFormat = "%@?%@";

// The base URL with no parameters; otherwise "base?k=v&k2=v2", each value
// escaped as a request's query values are.
std::string generateURL(const std::string& baseURL, const FBParams& params);

// The value after `needle` in `url`: the needle must start the text or follow
// "#", "&" or "?"; the value runs to the next "&" and is percent-decoded
// (kept as it came when it does not decode). None when there is no such needle.
std::optional<std::string> getStringFromUrl(std::string_view url, std::string_view needle);

// What a navigation to `url` means to a dialog.
enum class FBDialogNavigation {
    Load,     // not the redirect scheme: the web view may go there
    Cancel,   // the redirect scheme's cancel
    Success,  // any other URL of the redirect scheme
};
FBDialogNavigation classifyDialogNavigation(std::string_view url);

}  // namespace qp
