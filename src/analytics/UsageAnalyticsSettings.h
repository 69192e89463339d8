#pragma once
// What the client applies to every session it creates. The app keeps the
// defaults; tests may shorten or switch things.

#include <chrono>
#include <cstddef>

namespace qp {

struct UsageAnalyticsSettings {
    bool eventLoggingEnabled = true;
    // Off: the user declined usage reports. Nothing is recorded or sent, and
    // the sessions kept on the device are deleted at start.
    bool usageReportsEnabled = true;
    bool reportOnClose = true;
    bool reportOnPause = true;
    // A stay away longer than this starts a new session on return.
    std::chrono::milliseconds sessionContinueInterval{10000};
    std::size_t maxSavedSessions = 50;
    std::chrono::milliseconds sendTimeout{15000};
    // How long quitting waits for a send on its way; what it carries stays
    // on the device when the wait runs out.
    std::chrono::milliseconds quitSendWait{1000};
};

// How long quitting then waits for the cancelled send to stop.
inline constexpr std::chrono::milliseconds kCancelledSendWait{500};

}  // namespace qp
