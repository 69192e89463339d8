#include "platform/HttpClient.h"

#include <algorithm>
#include <cctype>

namespace qp {

namespace {

bool sameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string trimmed(const std::string& text) {
    const auto isSpace = [](char c) { return c == ' ' || c == '\t'; };
    auto begin = std::find_if_not(text.begin(), text.end(), isSpace);
    auto end =
        std::find_if_not(text.rbegin(), std::string::const_reverse_iterator(begin), isSpace).base();
    return std::string(begin, end);
}

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

bool httpCookieAppliesToURL(const HttpCookie& cookie, const std::string& url) {
    const HostAndPath site = hostAndPath(url);
    std::string domain = lowercase(cookie.domain);
    if (!domain.empty() && domain.front() == '.') domain.erase(0, 1);
    if (domain.empty() || site.host.empty()) return false;
    const bool hostMatches =
        site.host == domain || (site.host.size() > domain.size() && site.host.ends_with(domain) &&
                                site.host[site.host.size() - domain.size() - 1] == '.');
    const std::string cookiePath = cookie.path.empty() ? "/" : cookie.path;
    return hostMatches && site.path.rfind(cookiePath, 0) == 0;
}

// `m_stop` runs under the lock, so detach() cannot let the send's state go
// while it runs; stopping a transfer is quick and calls nothing back.
void HttpCancellation::cancel() {
    std::lock_guard lock(m_mutex);
    m_cancelled = true;
    if (m_stop) m_stop();
}

bool HttpCancellation::isCancelled() const {
    std::lock_guard lock(m_mutex);
    return m_cancelled;
}

void HttpCancellation::attach(std::function<void()> stop) {
    std::lock_guard lock(m_mutex);
    m_stop = std::move(stop);
    if (m_cancelled && m_stop) m_stop();
}

void HttpCancellation::detach() {
    std::lock_guard lock(m_mutex);
    m_stop = nullptr;
}

void HttpRequest::setHeader(const std::string& name, const std::string& value) {
    auto first = std::find_if(headers.begin(), headers.end(),
                              [&](const auto& h) { return sameName(h.first, name); });
    if (first == headers.end()) {
        headers.emplace_back(name, value);
        return;
    }
    first->first = name;
    first->second = value;
    headers.erase(std::remove_if(std::next(first), headers.end(),
                                 [&](const auto& h) { return sameName(h.first, name); }),
                  headers.end());
}

std::optional<std::string> HttpRequest::header(const std::string& name) const {
    // Later values replace earlier ones, so the last match is the one sent.
    auto it = std::find_if(headers.rbegin(), headers.rend(),
                           [&](const auto& h) { return sameName(h.first, name); });
    if (it == headers.rend()) return std::nullopt;
    return it->second;
}

std::optional<std::string> HttpResponse::header(const std::string& name) const {
    // A field that arrives more than once reads as one comma-separated list.
    std::optional<std::string> combined;
    for (const auto& [key, value] : headers) {
        if (!sameName(key, name)) continue;
        if (combined) {
            *combined += ", ";
            *combined += value;
        } else {
            combined = value;
        }
    }
    return combined;
}

std::string HttpResponse::mimeType() const {
    const auto contentType = header("Content-Type");
    if (!contentType) return {};
    std::string type = trimmed(contentType->substr(0, contentType->find(';')));
    std::transform(type.begin(), type.end(), type.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return type;
}

}  // namespace qp
