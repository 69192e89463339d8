#pragma once
// A private queue that runs tasks one at a time, in the order they were
// queued, on a worker thread of its own. The reachability monitor receives
// its changes and calls its blocks there.

#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace qp {

class SerialQueue {
public:
    using Task = std::function<void()>;

    // Nothing when the worker thread cannot be started.
    static std::unique_ptr<SerialQueue> create(std::string label);

    // Drops the tasks that have not started. Waits for the running one to
    // finish, unless it is that task which lets go of the queue; then the
    // worker ends on its own once the task returns.
    ~SerialQueue();

    SerialQueue(const SerialQueue&) = delete;
    SerialQueue& operator=(const SerialQueue&) = delete;

    // Queues `task` behind the ones already queued. Safe from any thread.
    void async(Task task);
    // True when called from a task of this queue.
    bool isCurrent() const;
    const std::string& label() const { return m_label; }

private:
    struct State;
    SerialQueue(std::string label, std::shared_ptr<State> state, std::thread worker);

    std::string m_label;
    std::shared_ptr<State> m_state;
    std::thread m_worker;
    const std::thread::id m_workerId;  // kept apart: joining clears m_worker's
};

}  // namespace qp
