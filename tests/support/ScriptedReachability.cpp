#include "support/ScriptedReachability.h"

#include <algorithm>
#include <mutex>

#include "platform/reachability/SerialQueue.h"

namespace qp {

namespace {
class ScriptedSource;
}

struct ScriptedReachability::Shared {
    mutable std::mutex mutex;
    std::optional<ReachabilityFlags> flags = 0;
    bool rejectsTargets = false;
    bool refusesCallback = false;
    bool refusesQueue = false;
    std::vector<std::string> hostnames;
    int addressCount = 0;
    std::vector<ScriptedSource*> sources;
};

namespace {

class ScriptedSource final : public ReachabilityFlagsSource {
public:
    explicit ScriptedSource(std::shared_ptr<ScriptedReachability::Shared> shared)
        : m_shared(std::move(shared)) {
        std::lock_guard lock(m_shared->mutex);
        m_shared->sources.push_back(this);
    }

    ~ScriptedSource() override {
        std::lock_guard lock(m_shared->mutex);
        std::erase(m_shared->sources, this);
    }

    std::optional<ReachabilityFlags> flags() override {
        std::lock_guard lock(m_shared->mutex);
        return m_shared->flags;
    }

    bool setCallback(Callback callback) override {
        std::lock_guard lock(m_shared->mutex);
        if (callback && m_shared->refusesCallback) return false;
        m_callback = std::move(callback);
        return true;
    }

    bool setDispatchQueue(SerialQueue* queue) override {
        std::lock_guard lock(m_shared->mutex);
        if (queue && m_shared->refusesQueue) return false;
        m_queue = queue;
        return true;
    }

    // Called with the shared mutex held.
    bool isNotifying() const { return m_callback && m_queue; }
    void deliver(ReachabilityFlags flags) {
        if (!isNotifying()) return;
        m_queue->async([callback = m_callback, flags] { callback(flags); });
    }

private:
    std::shared_ptr<ScriptedReachability::Shared> m_shared;
    Callback m_callback;
    SerialQueue* m_queue = nullptr;
};

}  // namespace

ScriptedReachability::ScriptedReachability() : m_shared(std::make_shared<Shared>()) {}

ScriptedReachability::~ScriptedReachability() = default;

void ScriptedReachability::setFlags(ReachabilityFlags flags) {
    std::lock_guard lock(m_shared->mutex);
    m_shared->flags = flags;
    for (ScriptedSource* source : m_shared->sources) source->deliver(flags);
}

void ScriptedReachability::setReachable(bool reachable) {
    setFlags(reachable ? kReachabilityFlagReachable : 0);
}

void ScriptedReachability::setUnreadable() {
    std::lock_guard lock(m_shared->mutex);
    m_shared->flags.reset();
}

void ScriptedReachability::setRejectsTargets(bool rejects) {
    std::lock_guard lock(m_shared->mutex);
    m_shared->rejectsTargets = rejects;
}

void ScriptedReachability::setRefusesCallback(bool refuses) {
    std::lock_guard lock(m_shared->mutex);
    m_shared->refusesCallback = refuses;
}

void ScriptedReachability::setRefusesQueue(bool refuses) {
    std::lock_guard lock(m_shared->mutex);
    m_shared->refusesQueue = refuses;
}

std::vector<std::string> ScriptedReachability::hostnames() const {
    std::lock_guard lock(m_shared->mutex);
    return m_shared->hostnames;
}

int ScriptedReachability::addressCount() const {
    std::lock_guard lock(m_shared->mutex);
    return m_shared->addressCount;
}

int ScriptedReachability::notifyingCount() const {
    std::lock_guard lock(m_shared->mutex);
    return static_cast<int>(
        std::count_if(m_shared->sources.begin(), m_shared->sources.end(),
                      [](const ScriptedSource* s) { return s->isNotifying(); }));
}

std::unique_ptr<ReachabilityFlagsSource> ScriptedReachability::sourceForHostname(
    const std::string& hostname) {
    {
        std::lock_guard lock(m_shared->mutex);
        m_shared->hostnames.push_back(hostname);
        if (m_shared->rejectsTargets) return nullptr;
    }
    return std::make_unique<ScriptedSource>(m_shared);
}

std::unique_ptr<ReachabilityFlagsSource> ScriptedReachability::sourceForAddress(
    const sockaddr* /*address*/) {
    {
        std::lock_guard lock(m_shared->mutex);
        ++m_shared->addressCount;
        if (m_shared->rejectsTargets) return nullptr;
    }
    return std::make_unique<ScriptedSource>(m_shared);
}

}  // namespace qp
