#pragma once
// Collects the diagnostic log's lines for the life of the object, keeping
// them off stderr meanwhile.

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

#include "platform/Log.h"

namespace qp {

class LogCapture {
public:
    LogCapture() {
        Log::setStderrEnabled(false);
        m_sink = Log::addSink([this](std::string_view line) {
            std::lock_guard lock(m_mutex);
            m_lines.emplace_back(line);
        });
    }
    ~LogCapture() {
        Log::removeSink(m_sink);
        Log::setStderrEnabled(true);
    }

    std::vector<std::string> lines() const {
        std::lock_guard lock(m_mutex);
        return m_lines;
    }
    int count(const std::string& line) const {
        std::lock_guard lock(m_mutex);
        return static_cast<int>(std::count(m_lines.begin(), m_lines.end(), line));
    }
    bool contains(const std::string& line) const { return count(line) > 0; }
    // Whether any line holds `text`.
    bool mentions(std::string_view text) const {
        std::lock_guard lock(m_mutex);
        return std::any_of(m_lines.begin(), m_lines.end(), [&](const std::string& line) {
            return line.find(text) != std::string::npos;
        });
    }
    void clear() {
        std::lock_guard lock(m_mutex);
        m_lines.clear();
    }

private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_lines;
    Log::SinkId m_sink = 0;
};

}  // namespace qp
