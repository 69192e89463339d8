#include "platform/curl/CurlCookieJar.h"

#include <memory>
#include <sstream>

#include "platform/curl/CurlGlobal.h"

namespace qp {

namespace {

// libcurl marks cookies that scripts may not read with this domain prefix.
constexpr const char* kHttpOnlyPrefix = "#HttpOnly_";

struct EasyDeleter {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;

std::string withoutLeadingDot(const std::string& domain) {
    return !domain.empty() && domain.front() == '.' ? domain.substr(1) : domain;
}

std::vector<std::string> splitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::string field;
    std::istringstream in(line);
    while (std::getline(in, field, '\t')) fields.push_back(field);
    if (!line.empty() && line.back() == '\t') fields.emplace_back();
    return fields;
}

}  // namespace

CurlCookieJar::CurlCookieJar() {
    ensureCurlGlobalInit();
    m_share = curl_share_init();
    curl_share_setopt(m_share, CURLSHOPT_LOCKFUNC, &CurlCookieJar::lock);
    curl_share_setopt(m_share, CURLSHOPT_UNLOCKFUNC, &CurlCookieJar::unlock);
    curl_share_setopt(m_share, CURLSHOPT_USERDATA, this);
    curl_share_setopt(m_share, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
}

CurlCookieJar::~CurlCookieJar() {
    curl_share_cleanup(m_share);
}

void CurlCookieJar::lock(CURL*, curl_lock_data data, curl_lock_access, void* self) {
    static_cast<CurlCookieJar*>(self)->m_locks.at(static_cast<std::size_t>(data)).lock();
}

void CurlCookieJar::unlock(CURL*, curl_lock_data data, void* self) {
    static_cast<CurlCookieJar*>(self)->m_locks.at(static_cast<std::size_t>(data)).unlock();
}

std::vector<std::string> CurlCookieJar::cookieLines() const {
    std::vector<std::string> lines;
    EasyHandle easy(curl_easy_init());
    if (!easy) return lines;
    curl_easy_setopt(easy.get(), CURLOPT_SHARE, m_share);
    curl_slist* list = nullptr;
    if (curl_easy_getinfo(easy.get(), CURLINFO_COOKIELIST, &list) != CURLE_OK) return lines;
    for (curl_slist* item = list; item; item = item->next) lines.emplace_back(item->data);
    curl_slist_free_all(list);
    return lines;
}

std::optional<HttpCookie> CurlCookieJar::parseCookieLine(const std::string& line) {
    // domain, include-subdomains, path, secure, expiry, name, value
    const std::vector<std::string> fields = splitTabs(line);
    if (fields.size() < 6) return std::nullopt;
    HttpCookie cookie;
    cookie.domain = fields[0];
    if (cookie.domain.rfind(kHttpOnlyPrefix, 0) == 0) {
        cookie.domain.erase(0, std::char_traits<char>::length(kHttpOnlyPrefix));
    }
    cookie.path = fields[2];
    cookie.secure = fields[3] == "TRUE";
    cookie.name = fields[5];
    cookie.value = fields.size() > 6 ? fields[6] : std::string();
    return cookie;
}

std::vector<HttpCookie> CurlCookieJar::cookies() const {
    std::vector<HttpCookie> result;
    for (const std::string& line : cookieLines()) {
        if (auto cookie = parseCookieLine(line)) result.push_back(std::move(*cookie));
    }
    return result;
}

void CurlCookieJar::deleteCookie(const HttpCookie& doomed) {
    // libcurl cannot drop a single cookie, so the jar is emptied and refilled
    // with the others while the cookie lock keeps transfers from seeing the gap.
    std::lock_guard guard(m_locks.at(CURL_LOCK_DATA_COOKIE));
    const std::vector<std::string> lines = cookieLines();
    EasyHandle easy(curl_easy_init());
    if (!easy) return;
    curl_easy_setopt(easy.get(), CURLOPT_SHARE, m_share);
    bool found = false;
    std::vector<const std::string*> keep;
    for (const std::string& line : lines) {
        const auto cookie = parseCookieLine(line);
        const bool matches = cookie && cookie->name == doomed.name && cookie->path == doomed.path &&
                             withoutLeadingDot(cookie->domain) == withoutLeadingDot(doomed.domain);
        if (matches) {
            found = true;
        } else {
            keep.push_back(&line);
        }
    }
    if (!found) return;
    curl_easy_setopt(easy.get(), CURLOPT_COOKIELIST, "ALL");
    for (const std::string* line : keep) {
        curl_easy_setopt(easy.get(), CURLOPT_COOKIELIST, line->c_str());
    }
}

}  // namespace qp
