#include "imaging/ImageLog.h"

#include <fmt/core.h>

#include <cstdio>
#include <mutex>
#include <string>

namespace qp {
namespace {

constexpr const char* kFailureFormat = "{}: {}";
constexpr const char* kFailureText = "Error!";

std::mutex& sinkMutex() {
    static std::mutex mutex;
    return mutex;
}

ImageLogSink& currentSink() {
    static ImageLogSink sink;
    return sink;
}

}  // namespace

void setImageLogSink(ImageLogSink sink) {
    std::lock_guard lock(sinkMutex());
    currentSink() = std::move(sink);
}

void logImageOperationFailure(std::string_view operationName) {
    const std::string line = fmt::format(kFailureFormat, operationName, kFailureText);
    std::lock_guard lock(sinkMutex());
    if (currentSink()) {
        currentSink()(line);
    } else {
        std::fprintf(stderr, "%s\n", line.c_str());
    }
}

}  // namespace qp
