#pragma once
// Where image operations write their failure lines. A settable sink keeps the
// module free of the app's logging service; by default lines go to stderr.

#include <functional>
#include <string_view>

namespace qp {

using ImageLogSink = std::function<void(std::string_view line)>;

// Replaces the sink; an empty function restores the stderr default.
void setImageLogSink(ImageLogSink sink);

// Writes "<operation>: Error!" through the current sink.
void logImageOperationFailure(std::string_view operationName);

}  // namespace qp
