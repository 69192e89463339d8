#include "imaging/ImageLog.h"

#include "platform/Log.h"

namespace qp {

void logImageOperationFailure(std::string_view operationName) {
    logf("{}: Error!", operationName);
}

}  // namespace qp
