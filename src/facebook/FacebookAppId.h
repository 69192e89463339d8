#pragma once
// The app's identifier with the social network, fixed when the program is
// built (CMake's QP_FACEBOOK_APP_ID: 15 digits; the default is a placeholder).

namespace qp {

const char* facebookAppId();

}  // namespace qp
