#include "support/ManualMainQueue.h"

namespace qp {

ManualMainQueue::ManualMainQueue()
    : m_ownClock(std::make_unique<ManualClock>()),
      m_clock(m_ownClock.get()),
      m_mainThread(std::this_thread::get_id()) {}

ManualMainQueue::ManualMainQueue(ManualClock& clock)
    : m_clock(&clock), m_mainThread(std::this_thread::get_id()) {}

ManualMainQueue::~ManualMainQueue() = default;

MainQueue::TaskId ManualMainQueue::post(Task task) {
    return schedule(m_clock->monotonicNow(), std::move(task));
}

MainQueue::TaskId ManualMainQueue::postAfter(Duration delay, Task task) {
    const Duration wait = delay.count() > 0 ? delay : Duration::zero();
    return schedule(m_clock->monotonicNow() + wait, std::move(task));
}

MainQueue::TaskId ManualMainQueue::schedule(Clock::Monotonic due, Task task) {
    TaskId id = 0;
    {
        std::lock_guard lock(m_mutex);
        id = m_nextId++;
        m_tasks.emplace(Key{due, id}, std::move(task));
        m_keys.emplace(id, Key{due, id});
    }
    m_posted.notify_all();
    return id;
}

void ManualMainQueue::cancel(TaskId id) {
    std::lock_guard lock(m_mutex);
    auto key = m_keys.find(id);
    if (key == m_keys.end()) return;
    m_tasks.erase(key->second);
    m_keys.erase(key);
}

bool ManualMainQueue::isMainThread() const {
    return std::this_thread::get_id() == m_mainThread;
}

std::size_t ManualMainQueue::runPending(std::size_t limit) {
    std::size_t ran = 0;
    while (ran < limit) {
        Task task;
        {
            std::lock_guard lock(m_mutex);
            if (m_tasks.empty() || m_tasks.begin()->first.first > m_clock->monotonicNow()) break;
            auto first = m_tasks.begin();
            task = std::move(first->second);
            m_keys.erase(first->first.second);
            m_tasks.erase(first);
        }
        // Outside the lock: the task may post, cancel or run the queue itself.
        if (task) task();
        ++ran;
    }
    return ran;
}

std::size_t ManualMainQueue::advance(Duration step) {
    const Clock::Monotonic target = m_clock->monotonicNow() + step;
    std::size_t ran = runPending();
    for (;;) {
        Clock::Monotonic next;
        {
            std::lock_guard lock(m_mutex);
            if (m_tasks.empty() || m_tasks.begin()->first.first > target) break;
            next = m_tasks.begin()->first.first;
        }
        m_clock->advance(next - m_clock->monotonicNow());
        ran += runPending();
    }
    m_clock->advance(target - m_clock->monotonicNow());
    return ran + runPending();
}

std::size_t ManualMainQueue::dueCountLocked(Clock::Monotonic now) const {
    std::size_t due = 0;
    for (auto it = m_tasks.begin(); it != m_tasks.end() && it->first.first <= now; ++it) ++due;
    return due;
}

bool ManualMainQueue::waitForPosts(std::size_t count, std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_mutex);
    return m_posted.wait_for(lock, timeout,
                             [&] { return dueCountLocked(m_clock->monotonicNow()) >= count; });
}

bool ManualMainQueue::runUntil(const std::function<bool()>& done,
                               std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    runPending();
    while (!done()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !waitForPosts(1, left)) return done();
        runPending();
    }
    return true;
}

std::size_t ManualMainQueue::pendingCount() const {
    std::lock_guard lock(m_mutex);
    return m_tasks.size();
}

std::size_t ManualMainQueue::dueCount() const {
    std::lock_guard lock(m_mutex);
    return dueCountLocked(m_clock->monotonicNow());
}

}  // namespace qp
