#pragma once
// The reachability monitor the feed gates its downloads on: one for the host
// of the feed's revision file, started at once and keeping itself alive.

#include <string>

#include "feed/COTDHandler.h"
#include "platform/reachability/Reachability.h"

namespace qp {

// Starts a monitor for the host of `feedUrl` and answers what the feed needs
// to follow it. With no host (or a host the source rejects) `isReachable` is
// empty and the feed stays unreachable: nothing is fetched.
FeedReachability monitorFeedHost(const std::string& feedUrl,
                                 const ReachabilityEnvironment& environment);

}  // namespace qp
