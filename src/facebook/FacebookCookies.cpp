#include "facebook/FacebookCookies.h"

namespace qp {

bool cookieAppliesToSite(const HttpCookie& cookie, const std::string& siteURL) {
    return httpCookieAppliesToURL(cookie, siteURL);
}

void deleteCookiesForSite(HttpClient& client, const std::string& siteURL) {
    if (siteURL.empty()) return;
    for (const HttpCookie& cookie : client.cookies()) {
        if (cookieAppliesToSite(cookie, siteURL)) client.deleteCookie(cookie);
    }
}

}  // namespace qp
