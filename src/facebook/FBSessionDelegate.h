#pragma once
// What the social-network client tells the object that keeps its session
// (login, logout, a renewed token, a session the service ended). Every
// operation does nothing unless overridden.

#include <string>

#include "platform/Clock.h"

namespace qp {

class FBSessionDelegate {
public:
    virtual ~FBSessionDelegate() = default;

    virtual void fbDidLogin() {}
    virtual void fbDidNotLogin(bool /*cancelled*/) {}
    virtual void fbDidExtendTokenExpiresAt(const std::string& /*accessToken*/,
                                           Clock::WallTime /*expiresAt*/) {}
    virtual void fbDidLogout() {}
    virtual void fbSessionInvalidated() {}
};

}  // namespace qp
