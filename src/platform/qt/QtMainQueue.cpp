#include "platform/qt/QtMainQueue.h"

#include <QMetaObject>
#include <QTimer>

namespace qp {

QtMainQueue::QtMainQueue() : m_mainThread(std::this_thread::get_id()) {}

QtMainQueue::~QtMainQueue() {
    std::lock_guard lock(m_mutex);
    m_pending.clear();
}

MainQueue::TaskId QtMainQueue::enqueue(Task task) {
    std::lock_guard lock(m_mutex);
    const TaskId id = m_nextId++;
    m_pending.emplace(id, std::move(task));
    return id;
}

MainQueue::TaskId QtMainQueue::post(Task task) {
    const TaskId id = enqueue(std::move(task));
    QMetaObject::invokeMethod(
        &m_context, [this, id] { run(id); }, Qt::QueuedConnection);
    return id;
}

MainQueue::TaskId QtMainQueue::postAfter(Duration delay, Task task) {
    const TaskId id = enqueue(std::move(task));
    // Timers belong to the thread that starts them, so start it on the main thread.
    QMetaObject::invokeMethod(
        &m_context,
        [this, id, delay] {
            QTimer::singleShot(std::chrono::milliseconds(delay), &m_context,
                               [this, id] { run(id); });
        },
        Qt::QueuedConnection);
    return id;
}

void QtMainQueue::cancel(TaskId id) {
    std::lock_guard lock(m_mutex);
    m_pending.erase(id);
}

bool QtMainQueue::isMainThread() const {
    return std::this_thread::get_id() == m_mainThread;
}

void QtMainQueue::run(TaskId id) {
    Task task;
    {
        std::lock_guard lock(m_mutex);
        auto it = m_pending.find(id);
        if (it == m_pending.end()) return;  // cancelled
        task = std::move(it->second);
        m_pending.erase(it);
    }
    task();
}

}  // namespace qp
