#pragma once
// The line an image operation logs when it fails: "<operation>: Error!",
// written to the diagnostic log (platform/Log.h).

#include <string_view>

namespace qp {

void logImageOperationFailure(std::string_view operationName);

}  // namespace qp
