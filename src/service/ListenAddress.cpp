#include "service/ListenAddress.h"

#include <charconv>

#include "service/ServiceErrors.h"

namespace qp {

Result<ListenAddress> parseListenAddress(const std::string& text) {
    const auto refuse = [&text] {
        return serviceError(ServiceErrorCode::CannotListen,
                            "'" + text + "' is not HOST:PORT (such as 127.0.0.1:9090 or " +
                                "[::1]:9090, port 0 to 65535)");
    };
    const std::size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == text.size()) return refuse();
    ListenAddress address;
    address.host = text.substr(0, colon);
    if (address.host.front() == '[') {
        if (address.host.size() < 3 || address.host.back() != ']') return refuse();
        address.host = address.host.substr(1, address.host.size() - 2);
    } else if (address.host.find(':') != std::string::npos) {
        return refuse();  // an IPv6 host needs its brackets
    }
    const char* first = text.data() + colon + 1;
    const char* last = text.data() + text.size();
    const auto [end, problem] = std::from_chars(first, last, address.port);
    if (problem != std::errc() || end != last || address.port < 0 || address.port > 65535)
        return refuse();
    return address;
}

}  // namespace qp
