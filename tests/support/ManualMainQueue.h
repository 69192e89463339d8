#pragma once
// A MainQueue for tests that runs nothing on its own. The test calls
// runPending() to run what is due and advance() to move a ManualClock and fire
// delayed tasks in time order. Any thread may post; waitForPosts() lets a test
// wait, without sleeping, until a worker thread has posted.
//
//     ManualMainQueue queue;
//     worker posts ...
//     ASSERT_TRUE(queue.runUntil([&] { return done; }));

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

#include "platform/MainQueue.h"
#include "support/ManualClock.h"

namespace qp {

class ManualMainQueue final : public MainQueue {
public:
    // Stops a runaway chain of tasks that keep posting each other.
    static constexpr std::size_t kDefaultRunLimit = 10000;
    // How long waitForPosts() and runUntil() wait in real time by default.
    static constexpr std::chrono::milliseconds kDefaultWait{10000};

    // With its own clock.
    ManualMainQueue();
    // With a clock the test shares with other objects; it must outlive the queue.
    explicit ManualMainQueue(ManualClock& clock);
    ~ManualMainQueue() override;

    TaskId post(Task task) override;
    TaskId postAfter(Duration delay, Task task) override;
    void cancel(TaskId id) override;
    // True on the thread that created the queue.
    bool isMainThread() const override;

    ManualClock& clock() { return *m_clock; }

    // Runs every task that is due now, in order, including tasks those tasks
    // post, at most `limit` of them. Returns how many ran.
    std::size_t runPending(std::size_t limit = kDefaultRunLimit);

    // Moves the clock forward by `step`, stopping at each delayed task's due
    // time to run what is due then. Returns how many tasks ran.
    std::size_t advance(Duration step);

    // Blocks until at least `count` tasks are due now or `timeout` of real time
    // has passed. True when the tasks are there.
    bool waitForPosts(std::size_t count = 1, std::chrono::milliseconds timeout = kDefaultWait);

    // Waits for posts and runs them until `done` holds or `timeout` of real
    // time has passed. True when `done` holds.
    bool runUntil(const std::function<bool()>& done,
                  std::chrono::milliseconds timeout = kDefaultWait);

    // Tasks not yet run, due now or later.
    std::size_t pendingCount() const;
    // Tasks due at the clock's current time.
    std::size_t dueCount() const;

private:
    // Ordered by due time, then by posting order.
    using Key = std::pair<Clock::Monotonic, TaskId>;

    TaskId schedule(Clock::Monotonic due, Task task);
    std::size_t dueCountLocked(Clock::Monotonic now) const;

    std::unique_ptr<ManualClock> m_ownClock;
    ManualClock* m_clock;
    std::thread::id m_mainThread;

    mutable std::mutex m_mutex;
    std::condition_variable m_posted;
    std::map<Key, Task> m_tasks;
    std::map<TaskId, Key> m_keys;
    TaskId m_nextId = 1;
};

}  // namespace qp
