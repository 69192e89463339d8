#include "facebook/FacebookSessionDefaults.h"

namespace qp {

bool saveFacebookSession(const Facebook& facebook, UserDefaults& defaults) {
    if (facebook.accessToken()) {
        defaults.setString(*facebook.accessToken(), kFBAccessTokenDefaultsKey);
    } else {
        defaults.removeObjectForKey(kFBAccessTokenDefaultsKey);
    }
    if (facebook.expirationDate()) {
        defaults.setObjectForKey(PlistValue(*facebook.expirationDate()),
                                 kFBExpirationDateDefaultsKey);
    } else {
        defaults.removeObjectForKey(kFBExpirationDateDefaultsKey);
    }
    return defaults.synchronize();
}

void restoreFacebookSession(const UserDefaults& defaults, Facebook& facebook) {
    std::optional<PlistValue> token = defaults.objectForKey(kFBAccessTokenDefaultsKey);
    std::optional<PlistDate> expiry = defaults.dateForKey(kFBExpirationDateDefaultsKey);
    if (!token || !token->isString() || !expiry) return;
    facebook.setAccessToken(token->stringValue());
    facebook.setExpirationDate(*expiry);
}

}  // namespace qp
