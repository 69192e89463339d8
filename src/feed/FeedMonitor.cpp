#include "feed/FeedMonitor.h"

#include "feed/FeedUrl.h"

namespace qp {

FeedReachability monitorFeedHost(const std::string& feedUrl,
                                 const ReachabilityEnvironment& environment,
                                 std::shared_ptr<Reachability>* started) {
    FeedReachability reachability;
    reachability.notificationName = kReachabilityChangedNotification;
    reachability.probeHost = hostOfUrl(feedUrl);
    std::shared_ptr<Reachability> monitor =
        startMonitoringHost(reachability.probeHost, environment);
    if (started) *started = monitor;
    if (!monitor) return reachability;
    reachability.sender = monitor.get();
    reachability.isReachable = [monitor] { return monitor->isReachable(); };
    return reachability;
}

}  // namespace qp
