#pragma once
// Something that takes URLs opened into the app (the social-network client
// takes its login answers this way).

#include <string>

namespace qp {

class OpenURLHandler {
public:
    virtual ~OpenURLHandler() = default;
    virtual bool handleOpenURL(const std::string& url) = 0;
};

}  // namespace qp
