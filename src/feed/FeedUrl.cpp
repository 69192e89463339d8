#include "feed/FeedUrl.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#include "feed/FeedKeys.h"

namespace qp {

namespace {

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char lower, char c) {
               return std::tolower(static_cast<unsigned char>(c)) == lower;
           });
}

// The length of "scheme://" when `text` begins with an http or https one.
std::size_t schemeLength(std::string_view text) {
    if (startsWithNoCase(text, "http://")) return 7;
    if (startsWithNoCase(text, "https://")) return 8;
    return 0;
}

bool isUrlCharacter(char c) {
    const auto u = static_cast<unsigned char>(c);
    if (u <= 0x20 || u >= 0x7f) return false;
    return std::string_view("\"<>\\^`{|}").find(c) == std::string_view::npos;
}

std::string_view authorityOf(std::string_view url) {
    url.remove_prefix(schemeLength(url));
    return url.substr(0, url.find_first_of("/?#"));
}

}  // namespace

bool isFeedUrl(const std::string& text) {
    if (schemeLength(text) == 0) return false;
    if (!std::all_of(text.begin(), text.end(), isUrlCharacter)) return false;
    return !hostOfUrl(text).empty();
}

std::string revisionFileUrl(const std::string& feedHost) {
    std::string url = feedHost;
    // A bare host gets a scheme; another scheme stays, to be refused.
    if (url.find("://") == std::string::npos) url = "http://" + url;
    const std::string_view suffix = ".plist";
    if (url.size() > suffix.size() &&
        url.compare(url.size() - suffix.size(), suffix.size(), suffix) == 0)
        return url;
    while (!url.empty() && url.back() == '/') url.pop_back();
    return url + kCOTDRevisionFilePath;
}

std::string hostOfUrl(const std::string& url) {
    std::string_view authority = authorityOf(url);
    if (const auto at = authority.rfind('@'); at != std::string_view::npos)
        authority.remove_prefix(at + 1);
    if (!authority.empty() && authority.front() == '[') {  // an IPv6 address
        const auto close = authority.find(']');
        return close == std::string_view::npos ? std::string()
                                               : std::string(authority.substr(1, close - 1));
    }
    return std::string(authority.substr(0, authority.find(':')));
}

}  // namespace qp
