#include "platform/reachability/SerialQueue.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <system_error>

namespace qp {

// Shared with the worker, which may outlive the queue object when a task
// destroys the queue that runs it.
struct SerialQueue::State {
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<Task> tasks;
    bool stopping = false;
};

std::unique_ptr<SerialQueue> SerialQueue::create(std::string label) {
    auto state = std::make_shared<State>();
    std::thread worker;
    try {
        worker = std::thread([state] {
            std::unique_lock lock(state->mutex);
            for (;;) {
                state->wake.wait(lock, [&] { return state->stopping || !state->tasks.empty(); });
                if (state->stopping) return;
                Task task = std::move(state->tasks.front());
                state->tasks.pop_front();
                lock.unlock();
                task();
                task = nullptr;  // its captures go here, not under the lock
                lock.lock();
            }
        });
    } catch (const std::system_error&) {
        return nullptr;
    }
    return std::unique_ptr<SerialQueue>(
        new SerialQueue(std::move(label), std::move(state), std::move(worker)));
}

SerialQueue::SerialQueue(std::string label, std::shared_ptr<State> state, std::thread worker)
    : m_label(std::move(label)),
      m_state(std::move(state)),
      m_worker(std::move(worker)),
      m_workerId(m_worker.get_id()) {}

SerialQueue::~SerialQueue() {
    std::deque<Task> dropped;
    {
        std::lock_guard lock(m_state->mutex);
        m_state->stopping = true;
        dropped.swap(m_state->tasks);
    }
    m_state->wake.notify_all();
    if (isCurrent()) {
        m_worker.detach();
    } else {
        m_worker.join();
    }
    // `dropped` is destroyed last, outside the lock: its captures may own
    // objects whose destructors queue work elsewhere.
}

void SerialQueue::async(Task task) {
    // Wakes the worker under the lock: once the task can run it may destroy
    // this queue, so nothing here may touch the queue after the unlock.
    std::lock_guard lock(m_state->mutex);
    if (m_state->stopping) return;
    m_state->tasks.push_back(std::move(task));
    m_state->wake.notify_one();
}

bool SerialQueue::isCurrent() const {
    return std::this_thread::get_id() == m_workerId;
}

}  // namespace qp
