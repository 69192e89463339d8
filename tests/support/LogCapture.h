#pragma once
// Collects diagnostic log lines while it exists.

#include <mutex>
#include <string>
#include <vector>

#include "platform/Log.h"

namespace qp {

class LogCapture {
public:
    LogCapture() {
        m_id = Log::addSink([this](std::string_view line) {
            std::lock_guard lock(m_mutex);
            m_lines.emplace_back(line);
        });
    }
    ~LogCapture() { Log::removeSink(m_id); }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::vector<std::string> lines() const {
        std::lock_guard lock(m_mutex);
        return m_lines;
    }
    bool contains(const std::string& line) const {
        for (const std::string& l : lines()) {
            if (l == line) return true;
        }
        return false;
    }
    void clear() {
        std::lock_guard lock(m_mutex);
        m_lines.clear();
    }

private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_lines;
    Log::SinkId m_id = 0;
};

}  // namespace qp
