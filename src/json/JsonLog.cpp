#include "json/JsonLog.h"

#include <cstdio>
#include <mutex>

namespace qp {
namespace {

std::mutex& sinkMutex() {
    static std::mutex mutex;
    return mutex;
}

JsonLogSink& sink() {
    static JsonLogSink current;
    return current;
}

}  // namespace

void setJsonLogSink(JsonLogSink newSink) {
    std::lock_guard lock(sinkMutex());
    sink() = std::move(newSink);
}

void jsonLog(std::string_view line) {
    std::lock_guard lock(sinkMutex());
    if (sink()) {
        sink()(line);
        return;
    }
    std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
}

}  // namespace qp
