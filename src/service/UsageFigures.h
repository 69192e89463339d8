#pragma once
// What `quillpost analytics report` shows: totals and breakdowns over every
// stored session.

#include <cstdint>
#include <string>
#include <vector>

namespace qp {

// The app records these at every activation; the report reads the device
// class and system version of a session from their parameters.
inline constexpr const char* kSystemVersionEvent = "2-iOS:";
inline constexpr const char* kSystemVersionParameter = "iOS version";
inline constexpr const char* kDeviceClassEvent = "3-Device Class:";
inline constexpr const char* kDeviceClassParameter = "Device Class";

inline constexpr std::size_t kTopEventCount = 10;

struct NamedCount {
    std::string name;
    std::int64_t count = 0;

    friend bool operator==(const NamedCount&, const NamedCount&) = default;
};

struct UsageFigures {
    std::int64_t sessions = 0;
    std::int64_t events = 0;  // every counted event of every session
    // Sessions by the day they started ("YYYY-MM-DD", UTC), oldest first.
    std::vector<NamedCount> sessionsPerDay;
    // Event names by how often they were counted, most first (at most
    // kTopEventCount), ties by name.
    std::vector<NamedCount> topEvents;
    // Sessions by device class and by system version, most first, ties by name.
    std::vector<NamedCount> deviceClasses;
    std::vector<NamedCount> systemVersions;
};

}  // namespace qp
