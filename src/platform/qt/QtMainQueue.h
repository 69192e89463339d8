#pragma once
// The main queue on the Qt event loop: tasks run as queued calls on the thread
// that created the queue (the GUI thread), delayed tasks on single-shot timers.

#include <QObject>

#include <map>
#include <mutex>
#include <thread>

#include "platform/MainQueue.h"

namespace qp {

class QtMainQueue final : public MainQueue {
public:
    QtMainQueue();
    ~QtMainQueue() override;

    TaskId post(Task task) override;
    TaskId postAfter(Duration delay, Task task) override;
    void cancel(TaskId id) override;
    bool isMainThread() const override;

private:
    TaskId enqueue(Task task);
    void run(TaskId id);

    QObject m_context;  // lives on the main thread; queued calls are sent to it
    std::thread::id m_mainThread;
    std::mutex m_mutex;
    std::map<TaskId, Task> m_pending;
    TaskId m_nextId = 1;
};

}  // namespace qp
