#pragma once
// Parameter names and values that the client's login and dialog code share.

namespace qp {

inline constexpr const char* kFBAccessTokenKey = "access_token";
inline constexpr const char* kFBSdkKey = "sdk";
inline constexpr const char* kFBSdkValue = "ios";
inline constexpr const char* kFBDisplayKey = "display";
inline constexpr const char* kFBDisplayValue = "touch";
inline constexpr const char* kFBRedirectURIKey = "redirect_uri";
inline constexpr const char* kFBRedirectURL = "fbconnect://success";
inline constexpr const char* kFBTypeKey = "type";
inline constexpr const char* kFBTypeValue = "user_agent";
// The dialog endpoint's login action.
inline constexpr const char* kFBLoginAction = "oauth";
// What the in-app login dialog reads from its success URL.
inline constexpr const char* kFBAccessTokenNeedle = "access_token=";
inline constexpr const char* kFBExpiresInNeedle = "expires_in=";

}  // namespace qp
