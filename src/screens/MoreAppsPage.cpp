#include "screens/MoreAppsPage.h"

#include "screens/SettingsLinks.h"

namespace qp {

std::string moreAppsPageUrl(const std::string& host) {
    if (host.empty()) return {};
    return httpBaseUrl(host) + "/" + kMoreAppsPageName;
}

std::string localMoreAppsPage(const std::string& version) {
    // The version is ours (digits and dots), so it needs no escaping.
    return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Quillpost</title></head>"
           "<body>"
           "<h2>Quillpost " +
           version +
           "</h2>"
           "<p>Whole photos, uncropped, in decorated squares, ready to share.</p>"
           "<p>No page of the maker's other apps is configured for this copy: set "
           "more_apps_host in the configuration file to show it here.</p>"
           "</body></html>";
}

}  // namespace qp
