#pragma once
// The diagnostic log: one line at a time, to stderr and to any added sinks
// (the app adds a file in its home; tests add a capture). Thread-safe.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include <fmt/format.h>

namespace qp {

class Log {
public:
    using Sink = std::function<void(std::string_view line)>;
    using SinkId = std::uint64_t;

    static void write(std::string_view line);
    static SinkId addSink(Sink sink);
    static void removeSink(SinkId id);
    // Whether lines also go to stderr (on by default).
    static void setStderrEnabled(bool enabled);
    static bool stderrEnabled();
};

template <typename... Args>
void logf(fmt::format_string<Args...> pattern, Args&&... args) {
    Log::write(fmt::format(pattern, std::forward<Args>(args)...));
}

inline void logLine(std::string_view line) {
    Log::write(line);
}

}  // namespace qp
