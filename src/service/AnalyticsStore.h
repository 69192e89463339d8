#pragma once
// Where the service keeps the reported sessions. One record per session id;
// implementations apply their schema migrations when opened and report a
// store they cannot use as an error then, never later as a silent loss.

#include <cstddef>
#include <cstdint>
#include <optional>

#include "platform/Result.h"
#include "service/ReportIngest.h"
#include "service/UsageFigures.h"

namespace qp {

struct StoreOutcome {
    std::size_t added = 0;     // sessions not seen before
    std::size_t replaced = 0;  // stored copies that a fuller one replaced
    std::size_t kept = 0;      // copies no fuller than the stored one, ignored

    friend bool operator==(const StoreOutcome&, const StoreOutcome&) = default;
};

class AnalyticsStore {
public:
    virtual ~AnalyticsStore() = default;

    // Stores every session of `report` in one transaction, durable when this
    // returns success; on failure nothing of the report is stored.
    // Safe to call from several threads.
    virtual Result<StoreOutcome> storeReport(const PreparedReport& report) = 0;

    virtual Result<UsageFigures> figures() = 0;

    // The stored copy of a session, or none.
    virtual Result<std::optional<SessionRecord>> session(const std::string& sessionId) = 0;
};

}  // namespace qp
