#include "facebook/Facebook.h"
#include "facebook/FacebookConstants.h"

#include <algorithm>

#include "facebook/FBJson.h"
#include "facebook/FBText.h"
#include "facebook/FacebookCookies.h"
#include "json/ZelJSON.h"
#include "platform/Log.h"

namespace qp {

namespace {

constexpr const char* kFormatKey = "format";
constexpr const char* kFormatValue = "json";
constexpr const char* kSdkVersionKey = "sdk_version";
constexpr const char* kSdkVersionValue = "2";
constexpr const char* kExpiresAtKey = "expires_at";
constexpr const char* kMethodKey = "method";
constexpr const char* kExtendTokenMethod = "auth.extendSSOAccessToken";
// More whole hours than this since the last update call for a renewal.
constexpr long kExtendAfterHours = 23;

constexpr const char* kDialogSdkValue = "2";
constexpr const char* kAppIdKey = "app_id";
constexpr const char* kAppRequestsAction = "apprequests";
constexpr const char* kFrictionlessKey = "frictionless";
constexpr const char* kGetFrictionlessRecipientsKey = "get_frictionless_recipients";
constexpr const char* kFrictionlessOn = "1";
constexpr const char* kToKey = "to";
constexpr char kRecipientSeparator = ',';

std::vector<JsonValue> splitRecipients(const std::string& text) {
    std::vector<JsonValue> items;
    std::size_t from = 0;
    while (true) {
        const std::size_t comma = text.find(kRecipientSeparator, from);
        items.emplace_back(text.substr(from, comma - from));
        if (comma == std::string::npos) break;
        from = comma + 1;
    }
    return items;
}

}  // namespace

Facebook::Facebook(FacebookServices services, std::string appId, FBSessionDelegate* delegate)
    : Facebook(std::move(services), std::move(appId), std::nullopt, delegate) {}

Facebook::Facebook(FacebookServices services, std::string appId,
                   std::optional<std::string> urlSchemeSuffix, FBSessionDelegate* delegate)
    : m_sessionDelegate(delegate),
      m_appId(std::move(appId)),
      m_urlSchemeSuffix(urlSchemeSuffix && !urlSchemeSuffix->empty() ? std::move(urlSchemeSuffix)
                                                                     : std::nullopt),
      m_services(std::move(services)) {}

Facebook::~Facebook() {
    if (auto extension = m_requestExtendingAccessToken.lock()) {
        if (extension->delegate() == this) extension->setDelegate(nullptr);
    }
    for (const auto& request : m_requests) request->removeStateObserver(kFBFinishedContext);
}

bool Facebook::isSessionValid() const {
    return m_accessToken && m_expirationDate && *m_expirationDate > m_services.clock.now();
}

// Requests

std::shared_ptr<FBRequest> Facebook::openUrlParamsHttpMethodDelegate(const std::string& url,
                                                                     FBParams params,
                                                                     const std::string& httpMethod,
                                                                     FBRequestDelegate* delegate) {
    params[kFormatKey] = std::string(kFormatValue);
    params[kFBSdkKey] = std::string(kFBSdkValue);
    params[kSdkVersionKey] = std::string(kSdkVersionValue);
    if (isSessionValid()) params[kFBAccessTokenKey] = *m_accessToken;

    extendAccessTokenIfNeeded();

    auto request = FBRequest::getRequestWithParamsHttpMethodDelegateRequestURL(
        std::move(params), httpMethod, delegate, url, m_services.http);
    m_requests.insert(request);
    request->addStateObserver(kFBFinishedContext,
                              [this](FBRequest& changed, const std::string& context) {
                                  observeValueForKeyPath(kFBStateKeyPath, changed, context);
                              });
    request->connect();
    return request;
}

void Facebook::observeValueForKeyPath(const std::string& keyPath, FBRequest& request,
                                      const std::string& context) {
    if (context != kFBFinishedContext || keyPath != kFBStateKeyPath ||
        request.state() != FBRequest::kStateFinished) {
        return;
    }
    if (request.sessionDidExpire()) {
        invalidateSession();
        if (m_sessionDelegate) m_sessionDelegate->fbSessionInvalidated();
    }
    request.removeStateObserver(kFBFinishedContext);
    std::erase_if(m_requests, [&](const auto& live) { return live.get() == &request; });
}

std::shared_ptr<FBRequest> Facebook::requestWithParamsAndDelegate(FBParams params,
                                                                  FBRequestDelegate* delegate) {
    auto method = params.find(kMethodKey);
    const std::string* name =
        method == params.end() ? nullptr : std::get_if<std::string>(&method->second);
    if (!name) {
        logLine(kFBLogAPIMethodMissing);
        return nullptr;
    }
    const std::string methodName = *name;
    params.erase(method);
    return requestWithMethodNameAndParamsAndHttpMethodAndDelegate(methodName, std::move(params),
                                                                  kFBHttpMethodGet, delegate);
}

std::shared_ptr<FBRequest> Facebook::requestWithMethodNameAndParamsAndHttpMethodAndDelegate(
    const std::string& methodName, FBParams params, const std::string& httpMethod,
    FBRequestDelegate* delegate) {
    return openUrlParamsHttpMethodDelegate(m_services.endpoints.restURL + methodName,
                                           std::move(params), httpMethod, delegate);
}

std::shared_ptr<FBRequest> Facebook::requestWithGraphPath(const std::string& graphPath,
                                                          FBRequestDelegate* delegate) {
    return requestWithGraphPath(graphPath, FBParams{}, kFBHttpMethodGet, delegate);
}

std::shared_ptr<FBRequest> Facebook::requestWithGraphPath(const std::string& graphPath,
                                                          FBParams params,
                                                          FBRequestDelegate* delegate) {
    return requestWithGraphPath(graphPath, std::move(params), kFBHttpMethodGet, delegate);
}

std::shared_ptr<FBRequest> Facebook::requestWithGraphPath(const std::string& graphPath,
                                                          FBParams params,
                                                          const std::string& httpMethod,
                                                          FBRequestDelegate* delegate) {
    return openUrlParamsHttpMethodDelegate(m_services.endpoints.graphURL + graphPath,
                                           std::move(params), httpMethod, delegate);
}

// Token renewal

bool Facebook::shouldExtendAccessToken() const {
    if (!isSessionValid()) return false;
    const auto hours = std::chrono::duration_cast<std::chrono::hours>(m_services.clock.now() -
                                                                      m_lastAccessTokenUpdate);
    return hours.count() > kExtendAfterHours;
}

void Facebook::extendAccessTokenIfNeeded() {
    if (shouldExtendAccessToken()) extendAccessToken();
}

void Facebook::extendAccessToken() {
    if (m_isExtendingAccessToken) return;
    // Set first, so that the request below does not start a second renewal.
    m_isExtendingAccessToken = true;
    m_requestExtendingAccessToken =
        requestWithParamsAndDelegate({{kMethodKey, std::string(kExtendTokenMethod)}}, this);
}

void Facebook::requestDidLoad(FBRequest&, const std::optional<JsonValue>& result) {
    m_isExtendingAccessToken = false;
    m_requestExtendingAccessToken.reset();

    const JsonValue* token = result ? result->find(kFBAccessTokenKey) : nullptr;
    const JsonValue* expiresAt = result ? result->find(kExpiresAtKey) : nullptr;
    std::optional<std::string> tokenText = token ? fbTextValue(*token) : std::nullopt;
    std::optional<std::int64_t> seconds = expiresAt ? fbInt64Value(*expiresAt) : std::nullopt;
    if (!tokenText || !seconds) return;

    m_accessToken = *tokenText;
    m_expirationDate = *seconds == 0 ? kFBDistantFuture : fbDateFromSecondsSince1970(*seconds);
    m_lastAccessTokenUpdate = m_services.clock.now();
    if (m_sessionDelegate) {
        m_sessionDelegate->fbDidExtendTokenExpiresAt(*m_accessToken, *m_expirationDate);
    }
}

void Facebook::requestDidFailWithError(FBRequest&, const Error&) {
    m_isExtendingAccessToken = false;
    m_requestExtendingAccessToken.reset();
}

// Ending the session

void Facebook::invalidateSession() {
    m_accessToken.reset();
    m_expirationDate.reset();
    deleteCookiesForSite(m_services.http, m_services.endpoints.loginSite);
    if (m_services.dialogs && !m_services.endpoints.loginSite.empty()) {
        m_services.dialogs->deleteWebCookiesForSite(m_services.endpoints.loginSite);
    }
    m_frictionlessRequestSettings.updateRecipientCacheWithRecipients(std::vector<std::string>{});
}

void Facebook::logout() {
    invalidateSession();
    if (m_sessionDelegate) m_sessionDelegate->fbDidLogout();
}

void Facebook::logout(FBSessionDelegate* delegate) {
    logout();
    if (delegate && delegate != m_sessionDelegate) delegate->fbDidLogout();
}

// Web dialogs

void Facebook::dialog(const std::string& action, FBDialogDelegate* delegate) {
    dialog(action, FBParams{}, delegate);
}

void Facebook::dialog(const std::string& action, FBParams params, FBDialogDelegate* delegate) {
    m_fbDialog.reset();
    const std::string url = m_services.endpoints.dialogURL + action;
    params[kFBDisplayKey] = std::string(kFBDisplayValue);
    params[kFBSdkKey] = std::string(kDialogSdkValue);
    params[kFBRedirectURIKey] = std::string(kFBRedirectURL);

    if (!m_services.dialogs) {
        logf("Facebook: no in-app dialogs in this build; the \"{}\" dialog does not open", action);
        return;
    }
    if (action == kFBLoginAction) {
        params[kFBTypeKey] = std::string(kFBTypeValue);
        m_fbDialog = m_services.dialogs->makeLoginDialog(url, params, *this);
    } else {
        params[kAppIdKey] = m_appId;
        bool invisible = false;
        if (isSessionValid()) {
            params[kFBAccessTokenKey] = percentDecode(*m_accessToken).value_or(*m_accessToken);
            extendAccessTokenIfNeeded();
        }
        if (action == kAppRequestsAction && isFrictionlessRequestsEnabled()) {
            params[kFrictionlessKey] = std::string(kFrictionlessOn);
            params[kGetFrictionlessRecipientsKey] = std::string(kFrictionlessOn);
            if (const std::string* to = textParam(params, kToKey)) {
                ZelJSON reader;
                std::optional<JsonValue> parsed = reader.objectWithString(*to);
                const std::vector<JsonValue> fbids =
                    parsed && parsed->array() ? parsed->array()->toVector() : splitRecipients(*to);
                Result<bool> frictionless = isFrictionlessEnabledForRecipients(fbids);
                if (frictionless.ok()) {
                    invisible = *frictionless;
                } else {
                    logf("Facebook: the request dialog's recipients are not ids: {}",
                         frictionless.error().toString());
                }
            }
        }
        m_fbDialog = m_services.dialogs->makeDialog(url, params, invisible,
                                                    m_frictionlessRequestSettings, delegate);
    }
    if (m_fbDialog) m_fbDialog->show();
}

// Frictionless requests

void Facebook::enableFrictionlessRequests() {
    m_frictionlessRequestSettings.enableWithFacebook(*this);
}

void Facebook::reloadFrictionlessRecipientCache() {
    m_frictionlessRequestSettings.reloadRecipientCacheWithFacebook(*this);
}

bool Facebook::isFrictionlessEnabledForRecipient(const std::string& fbid) const {
    return m_frictionlessRequestSettings.isFrictionlessEnabledForRecipient(fbid);
}

Result<bool> Facebook::isFrictionlessEnabledForRecipients(
    const std::vector<JsonValue>& fbids) const {
    return m_frictionlessRequestSettings.isFrictionlessEnabledForRecipients(fbids);
}

}  // namespace qp
