#pragma once
// Small session records for codec and storage tests.

#include <string>

#include "analytics/SessionRecord.h"

namespace qp {

inline SessionRecord sampleSessionRecord(
    const std::string& sessionId = "0123456789abcdef0123456789abcdef") {
    SessionRecord record;
    record.sessionId = sessionId;
    record.appVersion = "1.2";
    record.startMilliseconds = 1356998400000;
    record.endMilliseconds = 1356998460500;
    record.pausedMilliseconds = 8000;
    record.crashed = false;
    record.eventLogComplete = false;
    record.eventLoggingEnabled = true;
    record.networkAccess = NetworkAccess::NotReached;
    record.eventCounts = {{"1-Device:", 2}, {"tapped: More button", 1}};
    EventRecord device;
    device.logId = 1;
    device.name = "1-Device:";
    device.startMilliseconds = 1356998400100;
    device.parameters = ParameterList{{"Device Type", "x86_64"}};
    EventRecord more;
    more.logId = 2;
    more.name = "tapped: More button";
    more.startMilliseconds = 1356998401000;
    EventRecord emptyParameters = device;
    emptyParameters.logId = 3;
    emptyParameters.parameters = ParameterList{};
    record.events = {device, more, emptyParameters};
    return record;
}

}  // namespace qp
