#include "facebook/FacebookCookies.h"

#include <algorithm>
#include <cctype>

namespace qp {

namespace {

std::string lowercase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

struct HostAndPath {
    std::string host;
    std::string path;
};

// "scheme://user@host:port/path?query" → host and path ("/" when none).
HostAndPath hostAndPath(const std::string& url) {
    std::size_t start = url.find("://");
    start = start == std::string::npos ? 0 : start + 3;
    const std::size_t pathStart = url.find_first_of("/?#", start);
    std::string authority = url.substr(start, pathStart - start);
    if (const std::size_t at = authority.rfind('@'); at != std::string::npos) {
        authority.erase(0, at + 1);
    }
    if (const std::size_t colon = authority.find(':'); colon != std::string::npos) {
        authority.erase(colon);
    }
    std::string path = "/";
    if (pathStart != std::string::npos && url[pathStart] == '/') {
        path = url.substr(pathStart, url.find_first_of("?#", pathStart) - pathStart);
    }
    return {lowercase(authority), path};
}

}  // namespace

bool cookieAppliesToSite(const HttpCookie& cookie, const std::string& siteURL) {
    const HostAndPath site = hostAndPath(siteURL);
    std::string domain = lowercase(cookie.domain);
    if (!domain.empty() && domain.front() == '.') domain.erase(0, 1);
    if (domain.empty() || site.host.empty()) return false;
    const bool hostMatches =
        site.host == domain || (site.host.size() > domain.size() && site.host.ends_with(domain) &&
                                site.host[site.host.size() - domain.size() - 1] == '.');
    const std::string cookiePath = cookie.path.empty() ? "/" : cookie.path;
    return hostMatches && site.path.rfind(cookiePath, 0) == 0;
}

void deleteCookiesForSite(HttpClient& client, const std::string& siteURL) {
    if (siteURL.empty()) return;
    for (const HttpCookie& cookie : client.cookies()) {
        if (cookieAppliesToSite(cookie, siteURL)) client.deleteCookie(cookie);
    }
}

}  // namespace qp
