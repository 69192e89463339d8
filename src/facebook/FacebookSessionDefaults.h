#pragma once
// The saved session: the access token and its expiry in the user defaults,
// so that a later share need not log in again.

#include "facebook/Facebook.h"
#include "platform/plist/UserDefaults.h"

namespace qp {

inline constexpr const char* kFBAccessTokenDefaultsKey = "FBAccessTokenKey";
inline constexpr const char* kFBExpirationDateDefaultsKey = "FBExpirationDateKey";

// Writes the client's token and expiry and synchronises; a missing value
// removes its key. False when the store could not be written.
bool saveFacebookSession(const Facebook& facebook, UserDefaults& defaults);
// Gives the client the saved token and expiry when both are there.
void restoreFacebookSession(const UserDefaults& defaults, Facebook& facebook);

}  // namespace qp
