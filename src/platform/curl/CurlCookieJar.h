#pragma once
// The cookies of one HTTP client: a libcurl share handle that every transfer
// of the client attaches to, plus listing and deleting single cookies.

#include <array>
#include <mutex>
#include <string>
#include <vector>

#include <curl/curl.h>

#include "platform/HttpClient.h"

namespace qp {

class CurlCookieJar {
public:
    CurlCookieJar();
    ~CurlCookieJar();
    CurlCookieJar(const CurlCookieJar&) = delete;
    CurlCookieJar& operator=(const CurlCookieJar&) = delete;

    // The share handle for CURLOPT_SHARE; it stays valid for the jar's life.
    CURLSH* share() const { return m_share; }

    std::vector<HttpCookie> cookies() const;
    // Removes every stored cookie with the cookie's domain (a leading dot is
    // ignored), path and name. Other cookies are untouched.
    void deleteCookie(const HttpCookie& cookie);

    // One line of libcurl's cookie listing (Netscape format) as a cookie.
    static std::optional<HttpCookie> parseCookieLine(const std::string& line);

private:
    std::vector<std::string> cookieLines() const;

    static void lock(CURL* handle, curl_lock_data data, curl_lock_access access, void* self);
    static void unlock(CURL* handle, curl_lock_data data, void* self);

    CURLSH* m_share = nullptr;
    // Recursive so that deleteCookie can hold the cookie lock across several
    // libcurl calls, each of which takes it again on the same thread.
    mutable std::array<std::recursive_mutex, CURL_LOCK_DATA_LAST> m_locks;
};

}  // namespace qp
