#include "platform/reachability/Reachability.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <cstring>

#include "platform/MainQueue.h"
#include "platform/NotificationCenter.h"
#include "platform/reachability/SerialQueue.h"

namespace qp {

namespace {

constexpr const char* kSerialQueueLabel = "quillpost.reachability";
constexpr std::uint32_t kLinkLocalNetwork = 0xA9FE0000;  // 169.254.0.0

}  // namespace

Reachability::Reachability(Token, std::unique_ptr<ReachabilityFlagsSource> source,
                           ReachabilityEnvironment environment)
    : m_reachabilityRef(std::move(source)), m_environment(std::move(environment)) {}

Reachability::~Reachability() {
    stopNotifier();
    m_reachabilityRef.reset();
    std::lock_guard lock(m_mutex);
    m_reachableBlock = nullptr;
    m_unreachableBlock = nullptr;
}

std::shared_ptr<Reachability> Reachability::initWithReachabilityRef(
    std::unique_ptr<ReachabilityFlagsSource> source, const ReachabilityEnvironment& environment) {
    if (!source) return nullptr;
    return std::make_shared<Reachability>(Token{}, std::move(source), environment);
}

std::shared_ptr<Reachability> Reachability::reachabilityWithHostname(
    const std::string& hostname, const ReachabilityEnvironment& environment) {
    if (!environment.sources) return nullptr;
    return initWithReachabilityRef(environment.sources->sourceForHostname(hostname), environment);
}

std::shared_ptr<Reachability> Reachability::reachabilityWithAddress(
    const sockaddr* address, const ReachabilityEnvironment& environment) {
    if (!environment.sources || !address) return nullptr;
    return initWithReachabilityRef(environment.sources->sourceForAddress(address), environment);
}

std::shared_ptr<Reachability> Reachability::withIPv4Address(std::uint32_t hostOrderAddress,
                                                            const ReachabilityEnvironment& env) {
    sockaddr_in address;
    std::memset(&address, 0, sizeof address);
    static_assert(sizeof address == 16);
    address.sin_family = AF_INET;
    address.sin_port = 0;
    address.sin_addr.s_addr = htonl(hostOrderAddress);
    return reachabilityWithAddress(reinterpret_cast<const sockaddr*>(&address), env);
}

std::shared_ptr<Reachability> Reachability::reachabilityForInternetConnection(
    const ReachabilityEnvironment& environment) {
    return withIPv4Address(INADDR_ANY, environment);
}

std::shared_ptr<Reachability> Reachability::reachabilityForLocalWiFi(
    const ReachabilityEnvironment& environment) {
    return withIPv4Address(kLinkLocalNetwork, environment);
}

bool Reachability::startNotifier() {
    {
        std::lock_guard lock(m_mutex);
        if (m_reachabilitySerialQueue) return true;  // already notifying
        m_reachabilityObject = shared_from_this();
    }
    std::unique_ptr<SerialQueue> queue = SerialQueue::create(kSerialQueueLabel);
    // As documented: without a queue the self-reference stays until stopNotifier().
    if (!queue) return false;

    // The source holds the monitor weakly; each delivery keeps it alive while it runs.
    const bool registered =
        m_reachabilityRef->setCallback([weak = weak_from_this()](ReachabilityFlags flags) {
            if (std::shared_ptr<Reachability> self = weak.lock()) self->reachabilityChanged(flags);
        });
    if (registered) {
        if (m_reachabilityRef->setDispatchQueue(queue.get())) {
            std::lock_guard lock(m_mutex);
            m_reachabilitySerialQueue = std::move(queue);
            return true;
        }
        m_reachabilityRef->setCallback(nullptr);
    }

    std::shared_ptr<Reachability> self;  // let go of outside the lock, last
    std::lock_guard lock(m_mutex);
    self = std::move(m_reachabilityObject);
    return false;
}

void Reachability::stopNotifier() {
    if (m_reachabilityRef) {
        m_reachabilityRef->setCallback(nullptr);
        m_reachabilityRef->setDispatchQueue(nullptr);
    }
    // Destroyed in reverse order: the queue (which may wait for a running
    // block that takes m_mutex) first, the self-reference, which may end the
    // monitor, last; both after the lock is released.
    std::shared_ptr<Reachability> self;
    std::unique_ptr<SerialQueue> queue;
    std::lock_guard lock(m_mutex);
    self = std::move(m_reachabilityObject);
    queue = std::move(m_reachabilitySerialQueue);
}

bool Reachability::isReachableWithFlags(ReachabilityFlags flags) const {
    const bool connectionUp = (flags & kReachabilityFlagReachable) != 0;
    const ReachabilityFlags dialUp =
        kReachabilityFlagTransientConnection | kReachabilityFlagConnectionRequired;
    if ((flags & dialUp) == dialUp) return false;
    if ((flags & kReachabilityFlagIsWWAN) && !reachableOnWWAN()) return false;
    return connectionUp;
}

ReachabilityFlags Reachability::reachabilityFlags() const {
    return m_reachabilityRef->flags().value_or(0);
}

bool Reachability::isReachable() const {
    const std::optional<ReachabilityFlags> flags = m_reachabilityRef->flags();
    return flags && isReachableWithFlags(*flags);
}

bool Reachability::isReachableViaWWAN() const {
    const ReachabilityFlags flags = reachabilityFlags();
    return (flags & kReachabilityFlagReachable) && (flags & kReachabilityFlagIsWWAN);
}

bool Reachability::isReachableViaWiFi() const {
    const ReachabilityFlags flags = reachabilityFlags();
    return (flags & kReachabilityFlagReachable) && !(flags & kReachabilityFlagIsWWAN);
}

bool Reachability::connectionRequired() const {
    return (reachabilityFlags() & kReachabilityFlagConnectionRequired) != 0;
}

bool Reachability::isConnectionRequired() const {
    return connectionRequired();
}

bool Reachability::isConnectionOnDemand() const {
    const ReachabilityFlags flags = reachabilityFlags();
    return (flags & kReachabilityFlagConnectionRequired) &&
           (flags & (kReachabilityFlagConnectionOnTraffic | kReachabilityFlagConnectionOnDemand));
}

bool Reachability::isInterventionRequired() const {
    const ReachabilityFlags flags = reachabilityFlags();
    return (flags & kReachabilityFlagConnectionRequired) &&
           (flags & kReachabilityFlagInterventionRequired);
}

ReachabilityStatus Reachability::currentReachabilityStatus() const {
    // One reading for the whole answer, so a change in between cannot mix two states.
    const std::optional<ReachabilityFlags> flags = m_reachabilityRef->flags();
    if (!flags || !isReachableWithFlags(*flags)) return ReachabilityStatusNone;
    return (*flags & kReachabilityFlagIsWWAN) ? ReachabilityStatusCellular : ReachabilityStatusWiFi;
}

std::string Reachability::currentReachabilityString() const {
    const std::string text = reachabilityStatusText(currentReachabilityStatus());
    if (!m_environment.localize) return text;
    std::string translated = m_environment.localize(text);
    return translated.empty() ? text : translated;
}

std::string Reachability::currentReachabilityFlags() const {
    return reachabilityFlagsString(reachabilityFlags());
}

Reachability::Block Reachability::reachableBlock() const {
    std::lock_guard lock(m_mutex);
    return m_reachableBlock;
}

void Reachability::setReachableBlock(Block block) {
    std::lock_guard lock(m_mutex);
    m_reachableBlock = std::move(block);
}

Reachability::Block Reachability::unreachableBlock() const {
    std::lock_guard lock(m_mutex);
    return m_unreachableBlock;
}

void Reachability::setUnreachableBlock(Block block) {
    std::lock_guard lock(m_mutex);
    m_unreachableBlock = std::move(block);
}

SerialQueue* Reachability::reachabilitySerialQueue() const {
    std::lock_guard lock(m_mutex);
    return m_reachabilitySerialQueue.get();
}

std::shared_ptr<Reachability> Reachability::reachabilityObject() const {
    std::lock_guard lock(m_mutex);
    return m_reachabilityObject;
}

void Reachability::reachabilityChanged(ReachabilityFlags flags) {
    const Block block = isReachableWithFlags(flags) ? reachableBlock() : unreachableBlock();
    if (block) block(*this);
    postChangedNotification();
}

void Reachability::postChangedNotification() {
    NotificationCenter* center = m_environment.notifications;
    if (!center) return;
    MainQueue* mainQueue = m_environment.mainQueue;
    std::shared_ptr<Reachability> self = weak_from_this().lock();
    if (!mainQueue || !self) {
        center->postOnMainQueue(kReachabilityChangedNotification, this);
        return;
    }
    // The task holds the monitor, so the sender observers see is still alive.
    mainQueue->post([self = std::move(self), center] {
        center->post(kReachabilityChangedNotification, self.get());
    });
}

std::shared_ptr<Reachability> startMonitoringHost(const std::string& hostname,
                                                  const ReachabilityEnvironment& environment) {
    if (hostname.empty()) return nullptr;
    std::shared_ptr<Reachability> monitor =
        Reachability::reachabilityWithHostname(hostname, environment);
    if (monitor) monitor->startNotifier();
    return monitor;
}

}  // namespace qp
