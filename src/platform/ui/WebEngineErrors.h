#pragma once
// How the WebEngine backend reports a page that did not load: a navigation
// cancelled by a newer one and a navigation the delegate refused keep the
// codes the phone's web view gave them; everything else is a
// kWebViewErrorDomain error with the engine's own (net) error code.

#include <string>

#include "platform/Error.h"

namespace qp {

// The engine's kinds of load failure.
enum class WebEngineErrorKind {
    None,
    Internal,
    Connection,
    Certificate,
    Http,
    Ftp,
    Dns,
    HttpStatus
};

// The engine's code for an aborted load (a newer navigation, a stop, or a
// navigation the view refused).
inline constexpr int kWebEngineAbortedCode = -3;

// The error a failed or stopped load reports. `refused`: the load was of a
// URL that the delegate refused just before.
Error webViewLoadError(WebEngineErrorKind kind, int code, bool refused, const std::string& url,
                       const std::string& message);

}  // namespace qp
