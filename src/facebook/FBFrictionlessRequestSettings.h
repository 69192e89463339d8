#pragma once
// The users who received the app's requests before: for them a request
// dialog may run without coming on screen. Lives on the main thread.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "facebook/FBRequestDelegate.h"
#include "json/JsonValue.h"
#include "platform/Result.h"

namespace qp {

class Facebook;
class FBRequest;

inline constexpr const char* kFBFrictionlessCachePath = "me/apprequestformerrecipients";
inline constexpr const char* kFBInvalidArgumentDomain = "NSInvalidArgumentException";
inline constexpr int kFBInvalidArgumentCode = 1;
inline constexpr const char* kFBInvalidRecipientReason =
    "items in fbids must be NSString or NSNumber";
inline constexpr const char* kFBInvalidClassKey = "invalid class";

class FBFrictionlessRequestSettings : public FBRequestDelegate {
public:
    FBFrictionlessRequestSettings() = default;
    // Detaches from a cache request still running.
    ~FBFrictionlessRequestSettings() override;
    FBFrictionlessRequestSettings(const FBFrictionlessRequestSettings&) = delete;
    FBFrictionlessRequestSettings& operator=(const FBFrictionlessRequestSettings&) = delete;

    bool enabled() const { return m_enabled; }
    const std::vector<std::string>& allowedRecipients() const { return m_allowedRecipients; }
    const std::shared_ptr<FBRequest>& activeRequest() const { return m_activeRequest; }

    // Enables once (for good) and loads the cache.
    void enableWithFacebook(Facebook& facebook);
    void reloadRecipientCacheWithFacebook(Facebook& facebook);
    // The recipients become a copy of `recipients`, or none.
    void updateRecipientCacheWithRecipients(
        const std::optional<std::vector<std::string>>& recipients);

    // `fbid`, trimmed of white space, is one of the allowed recipients.
    bool isFrictionlessEnabledForRecipient(const std::string& fbid) const;
    // True for an empty list; else each item (a string, or a number taken as
    // its decimal text) must be allowed. Another kind of item is an error.
    Result<bool> isFrictionlessEnabledForRecipients(const std::vector<JsonValue>& fbids) const;

    void requestDidLoad(FBRequest& request, const std::optional<JsonValue>& result) override;
    void requestDidFailWithError(FBRequest& request, const Error& error) override;

private:
    std::vector<std::string> m_allowedRecipients;
    std::shared_ptr<FBRequest> m_activeRequest;
    bool m_enabled = false;
};

}  // namespace qp
