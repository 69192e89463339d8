#pragma once
// Errors of the analytics service: a report it refuses (the sender's fault,
// answered with a 4xx) or a store that cannot serve (the service's, 5xx or a
// failed start).

#include <string>

#include "platform/Error.h"

namespace qp {

inline constexpr const char* kServiceErrorDomain = "qp.service";

enum class ServiceErrorCode {
    ReportTooLarge = 1,     // the body is over kMaxReportBytes
    ReportRejected = 2,     // it does not decode, or a session in it cannot be kept
    StoreUnavailable = 10,  // locked, read-only, corrupt, newer, missing or failing
    UnknownStore = 11,      // a --db URL of a kind we cannot open
    OutputFailed = 12,      // a chart or listing that could not be written
    CannotListen = 13,      // the address to serve on cannot be bound
};

inline Error serviceError(ServiceErrorCode code, const std::string& description) {
    return Error(kServiceErrorDomain, static_cast<int>(code),
                 {{kLocalizedDescriptionKey, description}});
}

}  // namespace qp
