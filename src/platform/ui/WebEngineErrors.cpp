#include "platform/ui/WebEngineErrors.h"

#include "platform/ui/WebView.h"

namespace qp {

namespace {

const char* kindName(WebEngineErrorKind kind) {
    switch (kind) {
        case WebEngineErrorKind::Connection:
            return "connection";
        case WebEngineErrorKind::Certificate:
            return "certificate";
        case WebEngineErrorKind::Http:
            return "http";
        case WebEngineErrorKind::Ftp:
            return "ftp";
        case WebEngineErrorKind::Dns:
            return "dns";
        case WebEngineErrorKind::HttpStatus:
            return "http status";
        case WebEngineErrorKind::None:
        case WebEngineErrorKind::Internal:
            break;
    }
    return "internal";
}

}  // namespace

Error webViewLoadError(WebEngineErrorKind kind, int code, bool refused, const std::string& url,
                       const std::string& message) {
    Error::Details details{{kWebViewFailingURLKey, url}, {kWebViewErrorKindKey, kindName(kind)}};
    if (refused) {
        details[kLocalizedDescriptionKey] = "Frame load interrupted";
        return Error(kWebKitErrorDomain, kWebKitErrorFrameLoadInterrupted, details);
    }
    if (code == kWebEngineAbortedCode) {
        details[kLocalizedDescriptionKey] = "cancelled";
        return Error(kNSURLErrorDomain, kNSURLErrorCancelled, details);
    }
    details[kLocalizedDescriptionKey] =
        message.empty() ? "The page could not be loaded (error " + std::to_string(code) + ")"
                        : message;
    return Error(kWebViewErrorDomain, code, details);
}

}  // namespace qp
