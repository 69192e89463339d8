#pragma once
// The main thread's queue of work: run a task soon or after a delay, cancel a
// pending one. Worker threads hand their results back through post().

#include <chrono>
#include <cstdint>
#include <functional>

namespace qp {

class MainQueue {
public:
    using Task = std::function<void()>;
    using TaskId = std::uint64_t;
    using Duration = std::chrono::milliseconds;

    virtual ~MainQueue() = default;

    // Queues `task` to run on the main thread. Safe to call from any thread.
    virtual TaskId post(Task task) = 0;
    // Queues `task` to run on the main thread once `delay` has passed.
    virtual TaskId postAfter(Duration delay, Task task) = 0;
    // Drops a task that has not started yet; unknown or finished ids are ignored.
    virtual void cancel(TaskId id) = 0;
    // True when called on the thread that runs the queue.
    virtual bool isMainThread() const = 0;
};

}  // namespace qp
