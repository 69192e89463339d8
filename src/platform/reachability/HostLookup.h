#pragma once
// Resolves one host name on a thread of its own and waits for the answer no
// longer than a time-out, so a resolver that hangs (no network, no DNS server
// answering) never holds up the caller. At most one lookup runs at a time;
// a caller that comes while one is under way waits for that one.

#include <sys/socket.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qp {

class HostLookup {
public:
    using Addresses = std::vector<sockaddr_storage>;
    using Resolver = std::function<Addresses(const std::string& hostname)>;

    HostLookup(std::string hostname, Resolver resolver, std::chrono::milliseconds timeout);
    // Does not wait for a lookup under way; it finishes on its own.
    ~HostLookup();

    HostLookup(const HostLookup&) = delete;
    HostLookup& operator=(const HostLookup&) = delete;

    // Looks the name up afresh. Nothing when the lookup did not finish in
    // time, or `abandoned` became true and wakeWaiters() was called; an empty
    // list when the name has no addresses.
    std::optional<Addresses> resolve(const std::atomic<bool>* abandoned = nullptr);
    // The addresses of the last lookup that finished, if any did.
    std::optional<Addresses> lastAnswer() const;
    // Makes the waiting callers look at their `abandoned` flag now.
    void wakeWaiters();

    const std::string& hostname() const { return m_hostname; }

private:
    struct State;

    std::string m_hostname;
    Resolver m_resolver;
    std::chrono::milliseconds m_timeout;
    std::shared_ptr<State> m_state;
};

}  // namespace qp
