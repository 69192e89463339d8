#pragma once
// Runs one task per input on a few threads and hands the results back in
// input order, so a batch's output reads the same however many threads
// worked on it. At most `threads` tasks run at once, and workers stay within
// a few inputs of the one the caller waits for, so finished results do not
// pile up.

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

namespace qp {

// The processors this process may use (at least 1).
int processorCount();

template <typename T>
class InputOrderWork {
public:
    // `task(i)` for every input i below `count`; a task that answers
    // nothing leaves input i to the caller. With one thread no thread is
    // started: each task runs inside take().
    InputOrderWork(std::size_t count, int threads,
                   std::function<std::optional<T>(std::size_t)> task)
        : m_task(std::move(task)), m_results(count), m_finished(count, false) {
        const std::size_t workers = std::min<std::size_t>(std::size_t(std::max(threads, 1)), count);
        m_window = 2 * std::max<std::size_t>(workers, 1);
        if (workers <= 1) return;
        for (std::size_t i = 0; i < workers; ++i) m_workers.emplace_back([this] { work(); });
    }
    InputOrderWork(const InputOrderWork&) = delete;
    InputOrderWork& operator=(const InputOrderWork&) = delete;
    ~InputOrderWork() {
        {
            std::lock_guard lock(m_mutex);
            m_stopping = true;
        }
        m_changed.notify_all();
        for (std::thread& worker : m_workers) worker.join();
    }

    // Input i's result, waiting until it is there; inputs are taken in
    // order, each once.
    std::optional<T> take(std::size_t i) {
        if (m_workers.empty()) {
            m_taken = i + 1;
            return m_task(i);
        }
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_finished[i]; });
        std::optional<T> result = std::move(m_results[i]);
        m_results[i].reset();
        m_taken = i + 1;
        lock.unlock();
        m_changed.notify_all();
        return result;
    }

private:
    void work() {
        for (;;) {
            std::size_t i = 0;
            {
                std::unique_lock lock(m_mutex);
                m_changed.wait(lock, [&] {
                    return m_stopping || m_next >= m_results.size() || m_next < m_taken + m_window;
                });
                if (m_stopping || m_next >= m_results.size()) return;
                i = m_next++;
            }
            std::optional<T> result = m_task(i);
            {
                std::lock_guard lock(m_mutex);
                m_results[i] = std::move(result);
                m_finished[i] = true;
            }
            m_changed.notify_all();
        }
    }

    std::function<std::optional<T>(std::size_t)> m_task;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::optional<T>> m_results;
    std::vector<bool> m_finished;
    std::vector<std::thread> m_workers;
    std::size_t m_next = 0;   // the next input a worker starts
    std::size_t m_taken = 0;  // inputs the caller has taken
    std::size_t m_window = 2;
    bool m_stopping = false;
};

}  // namespace qp
