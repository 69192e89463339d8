#include "platform/Log.h"

#include <cstdio>
#include <mutex>
#include <vector>

namespace qp {

namespace {

struct LogState {
    std::mutex mutex;
    std::vector<std::pair<Log::SinkId, Log::Sink>> sinks;
    Log::SinkId nextId = 1;
    bool toStderr = true;
};

LogState& state() {
    static LogState s;
    return s;
}

}  // namespace

void Log::write(std::string_view line) {
    LogState& s = state();
    std::lock_guard lock(s.mutex);
    if (s.toStderr) {
        std::fwrite(line.data(), 1, line.size(), stderr);
        std::fputc('\n', stderr);
    }
    for (auto& [id, sink] : s.sinks) sink(line);
}

Log::SinkId Log::addSink(Sink sink) {
    LogState& s = state();
    std::lock_guard lock(s.mutex);
    const SinkId id = s.nextId++;
    s.sinks.emplace_back(id, std::move(sink));
    return id;
}

void Log::removeSink(SinkId id) {
    LogState& s = state();
    std::lock_guard lock(s.mutex);
    std::erase_if(s.sinks, [id](const auto& entry) { return entry.first == id; });
}

void Log::setStderrEnabled(bool enabled) {
    LogState& s = state();
    std::lock_guard lock(s.mutex);
    s.toStderr = enabled;
}

bool Log::stderrEnabled() {
    LogState& s = state();
    std::lock_guard lock(s.mutex);
    return s.toStderr;
}

}  // namespace qp
