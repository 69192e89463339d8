#pragma once
// The client's auto-incrementing identifiers, one counter per kind of log
// entry; each counter starts at 1 and starts over with every new session.

#include <cstdint>
#include <map>

namespace qp {

// The kind whose counter numbers usage events.
inline constexpr int kEventLogKindEvent = 2;

class EventLogCounters {
public:
    std::int32_t next(int kind) { return ++m_counters[kind]; }
    void reset() { m_counters.clear(); }

private:
    std::map<int, std::int32_t> m_counters;
};

}  // namespace qp
