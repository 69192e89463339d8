// Logging in: through the network's own app, the browser or the in-app
// dialog, and taking the result back from the app's redirect URL.

#include "facebook/FBText.h"
#include "facebook/Facebook.h"
#include "facebook/FacebookConstants.h"
#include "platform/Log.h"

namespace qp {

namespace {

constexpr const char* kClientIdKey = "client_id";
constexpr const char* kScopeKey = "scope";
constexpr const char* kScopeSeparator = ",";
constexpr const char* kLocalClientIdKey = "local_client_id";

constexpr const char* kAppAuthScheme = "fbauth";
constexpr const char* kAppAuthSchemeWithSuffix = "2";  // appended when a suffix is set
constexpr const char* kAppAuthURLFormat = "%@://%@";
constexpr const char* kAppAuthHost = "authorize";
constexpr const char* kOwnBaseURLFormat = "fb%@%@://authorize";

constexpr const char* kExpiresInKey = "expires_in";
constexpr const char* kErrorKey = "error";
constexpr const char* kErrorCodeKey = "error_code";
constexpr const char* kServiceDisabledUseBrowser = "service_disabled_use_browser";
constexpr const char* kServiceDisabled = "service_disabled";
constexpr const char* kAccessDenied = "access_denied";

constexpr char kPairSeparator = '&';
constexpr char kKeyValueSeparator = '=';

std::string joined(const std::vector<std::string>& items, std::string_view separator) {
    std::string out;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0) out += separator;
        out += items[i];
    }
    return out;
}

// The fragment of `url`, or its query when it has no fragment.
std::string_view fragmentOrQuery(std::string_view url) {
    if (const std::size_t hash = url.find('#'); hash != std::string_view::npos) {
        return url.substr(hash + 1);
    }
    if (const std::size_t question = url.find('?'); question != std::string_view::npos) {
        return url.substr(question + 1);
    }
    return {};
}

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> pieces;
    std::size_t from = 0;
    while (true) {
        const std::size_t at = text.find(separator, from);
        pieces.push_back(text.substr(from, at - from));
        if (at == std::string_view::npos) break;
        from = at + 1;
    }
    return pieces;
}

}  // namespace

std::string Facebook::getOwnBaseUrl() const {
    return fillFormat(kOwnBaseURLFormat, {m_appId, m_urlSchemeSuffix.value_or(std::string())});
}

void Facebook::authorize(std::vector<std::string> permissions) {
    m_permissions = std::move(permissions);
    authorizeWithFBAppAuthSafariAuth(true, true);
}

void Facebook::authorizeWithFBAppAuthSafariAuth(bool tryFBAppAuth, bool trySafariAuth) {
    FBParams params{
        {kClientIdKey, m_appId},
        {kFBTypeKey, std::string(kFBTypeValue)},
        {kFBRedirectURIKey, std::string(kFBRedirectURL)},
        {kFBDisplayKey, std::string(kFBDisplayValue)},
        {kFBSdkKey, std::string(kFBSdkValue)},
    };
    const std::string loginDialogURL = m_services.endpoints.dialogURL + kFBLoginAction;
    if (m_permissions) params[kScopeKey] = joined(*m_permissions, kScopeSeparator);
    if (m_urlSchemeSuffix) params[kLocalClientIdKey] = *m_urlSchemeSuffix;

    bool didOpenOtherApp = false;
    if (m_services.multitaskingSupported) {
        if (tryFBAppAuth) {
            std::string scheme = kAppAuthScheme;
            if (m_urlSchemeSuffix) scheme += kAppAuthSchemeWithSuffix;
            const std::string appAuthURL = fillFormat(kAppAuthURLFormat, {scheme, kAppAuthHost});
            didOpenOtherApp =
                m_services.urlOpener.openURL(FBRequest::serializeURL(appAuthURL, params));
        }
        if (trySafariAuth && !didOpenOtherApp) {
            params[kFBRedirectURIKey] = getOwnBaseUrl();
            didOpenOtherApp =
                m_services.urlOpener.openURL(FBRequest::serializeURL(loginDialogURL, params));
        }
    }
    if (didOpenOtherApp) return;  // the answer comes back through handleOpenURL

    m_loginDialog.reset();
    if (!m_services.dialogs) {
        logLine("Facebook: no in-app login dialog in this build, and no other way to log in");
        fbDialogNotLogin(false);
        return;
    }
    m_loginDialog = m_services.dialogs->makeLoginDialog(loginDialogURL, params, *this);
    if (m_loginDialog) m_loginDialog->show();
}

std::map<std::string, std::string> Facebook::parseURLParams(std::string_view query) {
    std::map<std::string, std::string> params;
    for (std::string_view pair : split(query, kPairSeparator)) {
        const std::vector<std::string_view> parts = split(pair, kKeyValueSeparator);
        if (parts.size() < 2) continue;
        const std::string_view value = parts[1];
        // A value that does not decode is kept as it came.
        params[std::string(parts[0])] = percentDecode(value).value_or(std::string(value));
    }
    return params;
}

bool Facebook::handleOpenURL(const std::string& url) {
    if (url.rfind(getOwnBaseUrl(), 0) != 0) return false;

    const std::map<std::string, std::string> params = parseURLParams(fragmentOrQuery(url));
    if (auto token = params.find(kFBAccessTokenKey); token != params.end()) {
        Clock::WallTime expiration = kFBDistantFuture;
        if (auto expiresIn = params.find(kExpiresInKey); expiresIn != params.end()) {
            const std::int64_t seconds = integerValue(expiresIn->second);
            if (seconds != 0) expiration = fbDateAfter(m_services.clock.now(), seconds);
        }
        fbDialogLoginExpirationDate(token->second, expiration);
        return true;
    }

    const auto error = params.find(kErrorKey);
    if (error != params.end() && error->second == kServiceDisabledUseBrowser) {
        authorizeWithFBAppAuthSafariAuth(false, true);
        return true;
    }
    if (error != params.end() && error->second == kServiceDisabled) {
        authorizeWithFBAppAuthSafariAuth(false, false);
        return true;
    }
    const bool cancelled = !params.contains(kErrorCodeKey) &&
                           (error == params.end() || error->second == kAccessDenied);
    fbDialogNotLogin(cancelled);
    return true;
}

void Facebook::fbDialogLoginExpirationDate(const std::string& token,
                                           std::optional<Clock::WallTime> expirationDate) {
    m_accessToken = token;
    m_expirationDate = expirationDate;
    m_lastAccessTokenUpdate = m_services.clock.now();
    reloadFrictionlessRecipientCache();
    if (m_sessionDelegate) m_sessionDelegate->fbDidLogin();
}

void Facebook::fbDialogNotLogin(bool cancelled) {
    if (m_sessionDelegate) m_sessionDelegate->fbDidNotLogin(cancelled);
}

}  // namespace qp
