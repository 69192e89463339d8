#pragma once
// The more-apps page: its address on the maker's static file server, and the
// short page about the app shown where no server is configured.

#include <string>

namespace qp {

inline constexpr const char* kMoreAppsPageName = "Promo_kelvane_iphone_general.html";
inline constexpr const char* kMoreTitle = "More";
inline constexpr const char* kVersionLabelFormat = "v %@";
inline constexpr const char* kOfflineMessage = "The Internet connection appears to be offline";
inline constexpr const char* kOfflineButtonTitle = "Okay";
// Scrolls the page back to its top-left corner.
inline constexpr const char* kScrollToTopScript = "window.scrollTo(0, 0);";
// The address the local page claims; it loads nothing further.
inline constexpr const char* kLocalPageBaseURL = "about:blank";

// The page at the root of `host` (scheme http when the host names none);
// empty when no host is configured.
std::string moreAppsPageUrl(const std::string& host);

// A few lines about the app and its `version`, shown instead of the maker's
// page when no server is configured.
std::string localMoreAppsPage(const std::string& version);

}  // namespace qp
