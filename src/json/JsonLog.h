#pragma once
// Where the JSON codec's log lines go: standard error unless the app installs
// its own sink. Safe to use from any thread.

#include <functional>
#include <string_view>

namespace qp {

using JsonLogSink = std::function<void(std::string_view line)>;

// Installs `sink`; an empty function restores standard error.
void setJsonLogSink(JsonLogSink sink);
void jsonLog(std::string_view line);

}  // namespace qp
