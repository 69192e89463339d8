#pragma once
// What every screen calls to record usage: one session start with the app's
// key, then named events with optional string parameters.

#include <map>
#include <string>

namespace qp {

using EventParameters = std::map<std::string, std::string>;

class AnalyticsRecorder {
public:
    virtual ~AnalyticsRecorder() = default;
    virtual void startSession(const std::string& apiKey) = 0;
    virtual void logEvent(const std::string& eventName) = 0;
    virtual void logEventWithParameters(const std::string& eventName,
                                        const EventParameters& parameters) = 0;
};

}  // namespace qp
