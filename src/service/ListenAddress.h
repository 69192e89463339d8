#pragma once
// The address `quillpost analytics serve --listen` takes: HOST:PORT, with an
// IPv6 host in brackets ([::1]:9090); port 0 picks any free port.

#include <string>

#include "platform/Result.h"

namespace qp {

struct ListenAddress {
    std::string host;
    int port = 0;
};

Result<ListenAddress> parseListenAddress(const std::string& text);

}  // namespace qp
