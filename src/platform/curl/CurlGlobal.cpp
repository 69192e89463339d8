#include "platform/curl/CurlGlobal.h"

#include <curl/curl.h>

#include <mutex>

namespace qp {

void ensureCurlGlobalInit() {
    // curl_global_init is not thread-safe on its own. It is never undone:
    // worker threads may still be finishing while the process exits.
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

}  // namespace qp
