#pragma once
// Clearing the cookies a site has left in the HTTP client's store, so that a
// logout also forgets the service's own login.

#include <string>

#include "platform/HttpClient.h"

namespace qp {

// Whether `cookie` would be sent to `siteURL` (its host within the cookie's
// domain, its path under the cookie's path).
bool cookieAppliesToSite(const HttpCookie& cookie, const std::string& siteURL);
// Deletes every cookie of `client` that applies to `siteURL`; none for an empty URL.
void deleteCookiesForSite(HttpClient& client, const std::string& siteURL);

}  // namespace qp
