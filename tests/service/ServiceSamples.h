#pragma once
// Sessions and reports as the app sends them, built small inside each test.

#include <cstdint>
#include <string>
#include <vector>

#include "analytics/ReportCodec.h"
#include "platform/Crc32.h"
#include "service/AnalyticsStore.h"
#include "service/ReportIngest.h"
#include "service/UsageFigures.h"

namespace qp::test {

// 2026-12-01 00:00:00 UTC.
inline constexpr std::int64_t kDecemberFirst = 1796083200000;
inline constexpr std::int64_t kDay = 24 * 60 * 60 * 1000;

// A session of `events` logged events named "e0", "e1", … (counted once
// each), started at `start`, ended at `end` when given.
inline SessionRecord session(const std::string& id, int events = 0,
                             std::optional<std::int64_t> end = std::nullopt,
                             std::int64_t start = kDecemberFirst) {
    SessionRecord record;
    record.sessionId = id;
    record.appVersion = "0.1.0";
    record.startMilliseconds = start;
    record.endMilliseconds = end;
    for (int i = 0; i < events; ++i) {
        const std::string name = "e" + std::to_string(i);
        record.eventCounts.emplace_back(name, 1);
        EventRecord event;
        event.logId = i + 1;
        event.name = name;
        event.startMilliseconds = start + i;
        if (i % 2 == 0) event.parameters = ParameterList{{"k", "v" + std::to_string(i)}};
        record.events.push_back(event);
    }
    return record;
}

// Adds the four events the app records at every activation.
inline void addDeviceEvents(SessionRecord& record, const std::string& deviceClass,
                            const std::string& systemVersion) {
    const std::vector<std::pair<std::string, ParameterList>> events = {
        {"1-Device:", {{"Device Type", "x86_64"}}},
        {kSystemVersionEvent, {{kSystemVersionParameter, systemVersion}}},
        {kDeviceClassEvent, {{kDeviceClassParameter, deviceClass}}},
        {"4-iOS Class:", {{"iOS Class", systemVersion.substr(0, 3)}}},
    };
    for (const auto& [name, parameters] : events) {
        EventRecord event;
        event.logId = static_cast<std::int32_t>(record.events.size()) + 1;
        event.name = name;
        event.startMilliseconds = record.startMilliseconds;
        event.parameters = parameters;
        record.events.push_back(event);
        record.eventCounts.emplace_back(name, 1);
    }
}

inline std::string reportBytes(const std::vector<SessionRecord>& sessions) {
    std::vector<std::string> encoded;
    for (const SessionRecord& record : sessions) encoded.push_back(encodeSessionRecord(record));
    return encodeReport({"ABCDEFGHIJ0123456789", "qp-0.1", kDecemberFirst, 0}, encoded);
}

inline PreparedReport prepared(const std::vector<SessionRecord>& sessions) {
    return prepareReport(reportBytes(sessions)).value();
}

// Three days: two sessions on the 1st (iPad 16.1, iPhone 16.1), none on the
// 2nd, three on the 3rd (iPad 15.0 twice, one without device events); the
// first two are sent twice.
inline void storeKnownSessions(AnalyticsStore& store) {
    std::vector<SessionRecord> sessions;
    const auto add = [&](const std::string& id, int events, std::int64_t start,
                         const char* deviceClass, const char* version) {
        SessionRecord record = session(id, events, std::nullopt, start);
        if (deviceClass) addDeviceEvents(record, deviceClass, version);
        sessions.push_back(record);
    };
    add("s1", 3, kDecemberFirst + 1000, "iPad", "16.1");
    add("s2", 1, kDecemberFirst + kDay - 1, "iPhone", "16.1");
    add("s3", 0, kDecemberFirst + 2 * kDay, "iPad", "15.0");
    add("s4", 2, kDecemberFirst + 2 * kDay + 5, "iPad", "15.0");
    add("s5", 0, kDecemberFirst + 3 * kDay - 1, nullptr, nullptr);
    if (!store.storeReport(prepared(sessions)).ok()) return;
    // A repeat of the first two changes nothing.
    ignoreResult(store.storeReport(prepared({sessions[0], sessions[1]})));
}

// `bytes` with its CRC-32 trailer made right again after an edit.
inline std::string withFreshChecksum(std::string bytes) {
    bytes.resize(bytes.size() - 4);
    const std::uint32_t crc = Crc32::of(bytes);
    for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(char((crc >> shift) & 0xff));
    return bytes;
}

}  // namespace qp::test
