#pragma once
// The app's client of the social network: holds the access token and its
// expiry, logs the user in (through the network's own app, the browser or an
// in-app login dialog), takes the token back from the redirect URL, keeps it
// fresh, issues Graph and REST requests with the standard parameters and
// opens web dialogs. Main thread only.

#include <chrono>
#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "facebook/FBDates.h"
#include "facebook/FBDialogDelegates.h"
#include "facebook/FBDialogFactory.h"
#include "facebook/FBFrictionlessRequestSettings.h"
#include "facebook/FBParams.h"
#include "facebook/FBRequest.h"
#include "facebook/FBRequestDelegate.h"
#include "facebook/FBSessionDelegate.h"
#include "platform/Clock.h"
#include "platform/HttpClient.h"
#include "platform/UrlOpener.h"

namespace qp {

// Where the service is reached; host names come from the configuration.
struct FacebookEndpoints {
    std::string graphURL;   // ends in "/"; a Graph path follows
    std::string restURL;    // ends in "/method/"; a method name follows
    std::string dialogURL;  // ends in "/dialog/"; a dialog action follows
    std::string loginSite;  // the site whose cookies a logout clears, e.g. "https://host/"
};

// The platform services the client works through. All must outlive it.
struct FacebookServices {
    HttpClient& http;
    UrlOpener& urlOpener;
    const Clock& clock;
    // Makes the in-app dialogs; without one, a login that needs the in-app
    // dialog fails (fbDidNotLogin with false) and other dialogs do not open.
    FBDialogFactory* dialogs = nullptr;
    // Whether the app may hand a login to another program and be called back.
    bool multitaskingSupported = false;
    FacebookEndpoints endpoints;
};

inline constexpr const char* kFBFinishedContext = "finishedContext";
// The Graph path of a photo upload and the parameter that carries the image.
inline constexpr const char* kFBPhotoUploadPath = "me/photos";
inline constexpr const char* kFBPhotoUploadImageKey = "picture";
inline constexpr const char* kFBLogAPIMethodMissing = "API Method must be specified";

class Facebook final : public FBLoginDialogDelegate, public FBRequestDelegate {
public:
    // initWithAppId:andDelegate: and initWithAppId:urlSchemeSuffix:andDelegate:.
    // An empty suffix is no suffix.
    Facebook(FacebookServices services, std::string appId, FBSessionDelegate* delegate);
    Facebook(FacebookServices services, std::string appId,
             std::optional<std::string> urlSchemeSuffix, FBSessionDelegate* delegate);
    // Detaches from the extension request and stops observing live requests;
    // they still finish and report to their own delegates.
    ~Facebook() override;
    Facebook(const Facebook&) = delete;
    Facebook& operator=(const Facebook&) = delete;

    // The session.
    const std::optional<std::string>& accessToken() const { return m_accessToken; }
    void setAccessToken(std::optional<std::string> token) { m_accessToken = std::move(token); }
    const std::optional<Clock::WallTime>& expirationDate() const { return m_expirationDate; }
    void setExpirationDate(std::optional<Clock::WallTime> date) { m_expirationDate = date; }
    FBSessionDelegate* sessionDelegate() const { return m_sessionDelegate; }
    void setSessionDelegate(FBSessionDelegate* delegate) { m_sessionDelegate = delegate; }
    const std::string& appId() const { return m_appId; }
    const std::optional<std::string>& urlSchemeSuffix() const { return m_urlSchemeSuffix; }
    const std::optional<std::vector<std::string>>& permissions() const { return m_permissions; }
    // A token and an expiry strictly later than now.
    bool isSessionValid() const;

    // Login.
    void authorize(std::vector<std::string> permissions);
    void authorizeWithFBAppAuthSafariAuth(bool tryFBAppAuth, bool trySafariAuth);
    // Takes the login result from the app's own redirect URL; false for any
    // other URL.
    bool handleOpenURL(const std::string& url);
    // "k=v&k2=v2" as a map, values percent-decoded; pieces without "=" are skipped.
    static std::map<std::string, std::string> parseURLParams(std::string_view query);
    // "fb" + app id + suffix + "://authorize".
    std::string getOwnBaseUrl() const;

    // Token renewal.
    void extendAccessToken();
    void extendAccessTokenIfNeeded();
    bool shouldExtendAccessToken() const;
    bool isExtendingAccessToken() const { return m_isExtendingAccessToken; }

    // Ending the session.
    void logout();
    void logout(FBSessionDelegate* delegate);
    void invalidateSession();

    // Requests. The request gets "format", "sdk", "sdk_version" and, with a
    // valid session, "access_token"; the client keeps it until it finishes.
    std::shared_ptr<FBRequest> requestWithParamsAndDelegate(FBParams params,
                                                            FBRequestDelegate* delegate);
    std::shared_ptr<FBRequest> requestWithMethodNameAndParamsAndHttpMethodAndDelegate(
        const std::string& methodName, FBParams params, const std::string& httpMethod,
        FBRequestDelegate* delegate);
    std::shared_ptr<FBRequest> requestWithGraphPath(const std::string& graphPath,
                                                    FBRequestDelegate* delegate);
    std::shared_ptr<FBRequest> requestWithGraphPath(const std::string& graphPath, FBParams params,
                                                    FBRequestDelegate* delegate);
    std::shared_ptr<FBRequest> requestWithGraphPath(const std::string& graphPath, FBParams params,
                                                    const std::string& httpMethod,
                                                    FBRequestDelegate* delegate);
    std::shared_ptr<FBRequest> openUrlParamsHttpMethodDelegate(const std::string& url,
                                                               FBParams params,
                                                               const std::string& httpMethod,
                                                               FBRequestDelegate* delegate);
    std::size_t liveRequestCount() const { return m_requests.size(); }

    // Web dialogs.
    void dialog(const std::string& action, FBDialogDelegate* delegate);
    void dialog(const std::string& action, FBParams params, FBDialogDelegate* delegate);

    // Frictionless requests.
    bool isFrictionlessRequestsEnabled() const { return m_frictionlessRequestSettings.enabled(); }
    void enableFrictionlessRequests();
    void reloadFrictionlessRecipientCache();
    bool isFrictionlessEnabledForRecipient(const std::string& fbid) const;
    Result<bool> isFrictionlessEnabledForRecipients(const std::vector<JsonValue>& fbids) const;
    FBFrictionlessRequestSettings& frictionlessRequestSettings() {
        return m_frictionlessRequestSettings;
    }

    // Login results, from the redirect or the in-app dialog.
    void fbDialogLoginExpirationDate(const std::string& token,
                                     std::optional<Clock::WallTime> expirationDate) override;
    void fbDialogNotLogin(bool cancelled) override;

    // The extension request's results.
    void requestDidLoad(FBRequest& request, const std::optional<JsonValue>& result) override;
    void requestDidFailWithError(FBRequest& request, const Error& error) override;

    // Told by a live request after each change of its state.
    void observeValueForKeyPath(const std::string& keyPath, FBRequest& request,
                                const std::string& context);

private:
    std::optional<std::string> m_accessToken;
    std::optional<Clock::WallTime> m_expirationDate;
    FBSessionDelegate* m_sessionDelegate = nullptr;  // not owned
    std::set<std::shared_ptr<FBRequest>> m_requests;
    std::unique_ptr<FBDialog> m_loginDialog;
    std::unique_ptr<FBDialog> m_fbDialog;
    std::string m_appId;
    std::optional<std::string> m_urlSchemeSuffix;
    std::optional<std::vector<std::string>> m_permissions;
    bool m_isExtendingAccessToken = false;
    std::weak_ptr<FBRequest> m_requestExtendingAccessToken;  // not owned
    Clock::WallTime m_lastAccessTokenUpdate = kFBDistantPast;
    FBFrictionlessRequestSettings m_frictionlessRequestSettings;

    FacebookServices m_services;
};

}  // namespace qp
