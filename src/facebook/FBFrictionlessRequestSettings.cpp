#include "facebook/FBFrictionlessRequestSettings.h"

#include "facebook/FBJson.h"
#include "facebook/FBRequest.h"
#include "facebook/Facebook.h"

namespace qp {

namespace {

constexpr const char* kDataKey = "data";
constexpr const char* kRecipientIdKey = "recipient_id";

std::string trimmed(const std::string& text) {
    constexpr const char* kWhiteSpace = " \t\n\r\f\v";
    const std::size_t first = text.find_first_not_of(kWhiteSpace);
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(kWhiteSpace) - first + 1);
}

}  // namespace

FBFrictionlessRequestSettings::~FBFrictionlessRequestSettings() {
    if (m_activeRequest) m_activeRequest->setDelegate(nullptr);
}

void FBFrictionlessRequestSettings::enableWithFacebook(Facebook& facebook) {
    if (m_enabled) return;
    m_enabled = true;
    reloadRecipientCacheWithFacebook(facebook);
}

void FBFrictionlessRequestSettings::reloadRecipientCacheWithFacebook(Facebook& facebook) {
    if (m_activeRequest) m_activeRequest->setDelegate(nullptr);
    m_activeRequest = facebook.requestWithGraphPath(kFBFrictionlessCachePath, this);
}

void FBFrictionlessRequestSettings::updateRecipientCacheWithRecipients(
    const std::optional<std::vector<std::string>>& recipients) {
    if (m_activeRequest) m_activeRequest->setDelegate(nullptr);
    m_activeRequest.reset();
    m_allowedRecipients = recipients.value_or(std::vector<std::string>{});
}

bool FBFrictionlessRequestSettings::isFrictionlessEnabledForRecipient(
    const std::string& fbid) const {
    const std::string id = trimmed(fbid);
    for (const std::string& allowed : m_allowedRecipients) {
        if (allowed == id) return true;
    }
    return false;
}

Result<bool> FBFrictionlessRequestSettings::isFrictionlessEnabledForRecipients(
    const std::vector<JsonValue>& fbids) const {
    for (const JsonValue& item : fbids) {
        if (!item.isString() && !item.isNumber()) {
            return Error(kFBInvalidArgumentDomain, kFBInvalidArgumentCode,
                         {{kLocalizedDescriptionKey, kFBInvalidRecipientReason},
                          {kFBInvalidClassKey, item.typeName()}});
        }
        if (!isFrictionlessEnabledForRecipient(*fbTextValue(item))) return false;
    }
    return true;
}

void FBFrictionlessRequestSettings::requestDidLoad(FBRequest&,
                                                   const std::optional<JsonValue>& result) {
    m_activeRequest.reset();
    std::vector<std::string> recipients;
    const JsonValue* data = result ? result->find(kDataKey) : nullptr;
    if (const JsonValue::Array* items = data ? data->array() : nullptr) {
        for (const JsonValue& item : *items) {
            const JsonValue* id = item.find(kRecipientIdKey);
            if (std::optional<std::string> text = id ? fbTextValue(*id) : std::nullopt) {
                recipients.push_back(std::move(*text));
            }
        }
    }
    m_allowedRecipients = std::move(recipients);
}

void FBFrictionlessRequestSettings::requestDidFailWithError(FBRequest&, const Error&) {
    m_activeRequest.reset();
}

}  // namespace qp
