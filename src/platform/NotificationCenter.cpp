#include "platform/NotificationCenter.h"

#include <algorithm>

#include "platform/MainQueue.h"

namespace qp {

NotificationCenter::NotificationCenter(MainQueue* mainQueue) : m_mainQueue(mainQueue) {}

NotificationCenter::ObserverId NotificationCenter::addObserver(const std::string& name,
                                                               const void* sender,
                                                               Handler handler) {
    std::lock_guard lock(m_mutex);
    const ObserverId id = m_nextId++;
    m_observers.push_back({id, name, sender, std::move(handler)});
    return id;
}

void NotificationCenter::removeObserver(ObserverId id) {
    std::lock_guard lock(m_mutex);
    std::erase_if(m_observers, [id](const Observer& o) { return o.id == id; });
}

void NotificationCenter::post(const std::string& name, const void* sender,
                              std::map<std::string, std::string> userInfo) {
    // Copy the matching handlers first: a handler may add or remove observers.
    std::vector<std::pair<ObserverId, Handler>> matching;
    {
        std::lock_guard lock(m_mutex);
        for (const Observer& o : m_observers) {
            if (o.name == name && (o.sender == nullptr || o.sender == sender)) {
                matching.emplace_back(o.id, o.handler);
            }
        }
    }
    const Notification note{name, sender, std::move(userInfo)};
    for (auto& [id, handler] : matching) {
        bool stillObserving = false;
        {
            std::lock_guard lock(m_mutex);
            stillObserving = std::any_of(m_observers.begin(), m_observers.end(),
                                         [id = id](const Observer& o) { return o.id == id; });
        }
        if (stillObserving) handler(note);
    }
}

void NotificationCenter::postOnMainQueue(const std::string& name, const void* sender,
                                         std::map<std::string, std::string> userInfo) {
    if (!m_mainQueue) {
        post(name, sender, std::move(userInfo));
        return;
    }
    m_mainQueue->post([this, name, sender, info = std::move(userInfo)]() mutable {
        post(name, sender, std::move(info));
    });
}

std::size_t NotificationCenter::observerCount() const {
    std::lock_guard lock(m_mutex);
    return m_observers.size();
}

}  // namespace qp
