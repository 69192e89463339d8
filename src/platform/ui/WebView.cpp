#include "platform/ui/WebView.h"

#include "platform/UrlOpener.h"

namespace qp {

bool WebView::openURLOutsideApp(const std::string& url) {
    return m_urlOpener && m_urlOpener->openURL(url);
}

}  // namespace qp
