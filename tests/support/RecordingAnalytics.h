#pragma once
// An analytics recorder that keeps every call for tests to inspect.

#include <string>
#include <vector>

#include "analytics/AnalyticsRecorder.h"

namespace qp {

class RecordingAnalytics : public AnalyticsRecorder {
public:
    struct Event {
        std::string name;
        EventParameters parameters;
        friend bool operator==(const Event&, const Event&) = default;
    };

    void startSession(const std::string& apiKey) override { sessions.push_back(apiKey); }
    void logEvent(const std::string& name) override { events.push_back({name, {}}); }
    void logEventWithParameters(const std::string& name,
                                const EventParameters& parameters) override {
        events.push_back({name, parameters});
    }

    std::vector<std::string> eventNames() const {
        std::vector<std::string> names;
        for (const Event& e : events) names.push_back(e.name);
        return names;
    }

    std::vector<std::string> sessions;
    std::vector<Event> events;
};

}  // namespace qp
