#pragma once
// Where the reachability monitor gets its flags: a source watches one network
// target, answers its flags on request and calls back when they change. The
// Linux sources (LinuxReachability.h) watch the kernel's routing; tests use
// scripted ones (tests/support/ScriptedReachability.h).

#include <sys/socket.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/reachability/ReachabilityFlags.h"

namespace qp {

class SerialQueue;

class ReachabilityFlagsSource {
public:
    using Callback = std::function<void(ReachabilityFlags flags)>;

    virtual ~ReachabilityFlagsSource() = default;

    // The target's flags now; nothing when they cannot be read. Safe from
    // any thread; never waits longer than the source's lookup time-out.
    virtual std::optional<ReachabilityFlags> flags() = 0;

    // The function called with the new flags whenever they change; an empty
    // function unregisters. False when the source refuses it.
    virtual bool setCallback(Callback callback) = 0;

    // Calls the callback on `queue` from now on; nullptr detaches. Once
    // detaching returns, nothing more is queued on the old queue. False when
    // the source cannot deliver there.
    virtual bool setDispatchQueue(SerialQueue* queue) = 0;
};

// Makes the source for each kind of target; nothing when the target is
// rejected (an empty host name, an address family the source cannot route).
class ReachabilitySourceFactory {
public:
    virtual ~ReachabilitySourceFactory() = default;

    virtual std::unique_ptr<ReachabilityFlagsSource> sourceForHostname(
        const std::string& hostname) = 0;
    // `address` is an IPv4 or IPv6 socket address.
    virtual std::unique_ptr<ReachabilityFlagsSource> sourceForAddress(const sockaddr* address) = 0;
};

}  // namespace qp
