#include "platform/reachability/HostLookup.h"

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

namespace qp {

// Shared with the lookup thread, which may outlive the HostLookup.
struct HostLookup::State {
    std::mutex mutex;
    std::condition_variable finished;
    bool running = false;
    std::uint64_t generation = 0;  // counts finished lookups
    std::optional<Addresses> answer;
};

HostLookup::HostLookup(std::string hostname, Resolver resolver, std::chrono::milliseconds timeout)
    : m_hostname(std::move(hostname)),
      m_resolver(std::move(resolver)),
      m_timeout(timeout),
      m_state(std::make_shared<State>()) {}

HostLookup::~HostLookup() = default;

std::optional<HostLookup::Addresses> HostLookup::resolve(const std::atomic<bool>* abandoned) {
    auto isAbandoned = [abandoned] { return abandoned && abandoned->load(); };
    std::unique_lock lock(m_state->mutex);
    if (isAbandoned()) return std::nullopt;
    if (!m_state->running) {
        m_state->running = true;
        try {
            std::thread([state = m_state, resolver = m_resolver, hostname = m_hostname] {
                Addresses addresses = resolver(hostname);
                std::lock_guard done(state->mutex);
                state->answer = std::move(addresses);
                state->running = false;
                ++state->generation;
                state->finished.notify_all();
            }).detach();
        } catch (const std::system_error&) {
            m_state->running = false;
            return std::nullopt;
        }
    }
    const std::uint64_t waitingFor = m_state->generation + 1;
    const bool answered = m_state->finished.wait_for(
        lock, m_timeout, [&] { return isAbandoned() || m_state->generation >= waitingFor; });
    if (!answered || isAbandoned()) return std::nullopt;
    return m_state->answer;
}

std::optional<HostLookup::Addresses> HostLookup::lastAnswer() const {
    std::lock_guard lock(m_state->mutex);
    return m_state->answer;
}

void HostLookup::wakeWaiters() {
    std::lock_guard lock(m_state->mutex);
    m_state->finished.notify_all();
}

}  // namespace qp
