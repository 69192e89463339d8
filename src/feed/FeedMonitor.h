#pragma once
// The reachability monitor the feed gates its downloads on: one for the host
// of the feed's revision file, started at once.

#include <memory>
#include <string>

#include "feed/COTDHandler.h"
#include "platform/reachability/Reachability.h"

namespace qp {

// Starts a monitor for the host of `feedUrl` and answers what the feed needs
// to follow it. With no host (or a host the source rejects) `isReachable` is
// empty and the feed stays unreachable: nothing is fetched. `started`, when
// given, receives the monitor, so its owner can stop it before the
// notification centre and main queue it posts to go away.
FeedReachability monitorFeedHost(const std::string& feedUrl,
                                 const ReachabilityEnvironment& environment,
                                 std::shared_ptr<Reachability>* started = nullptr);

}  // namespace qp
