#include "platform/qt/DesktopUrlOpener.h"

#include <QProcess>
#include <QStandardPaths>

#include "platform/Log.h"

namespace qp {

namespace {
constexpr int kQueryTimeoutMs = 3000;
}

bool DesktopUrlOpener::canOpenURL(const std::string& url) const {
    const std::string scheme = urlScheme(url);
    if (scheme.empty()) return false;
    if (QStandardPaths::findExecutable("xdg-mime").isEmpty()) return false;
    QProcess query;
    query.start("xdg-mime",
                {"query", "default", QString::fromStdString("x-scheme-handler/" + scheme)});
    if (!query.waitForFinished(kQueryTimeoutMs)) {
        query.kill();
        return false;
    }
    return query.exitCode() == 0 && !query.readAllStandardOutput().trimmed().isEmpty();
}

bool DesktopUrlOpener::openURL(const std::string& url) {
    if (urlScheme(url).empty()) return false;
    if (!QProcess::startDetached("xdg-open", {QString::fromStdString(url)})) {
        logf("Cannot open {}: xdg-open is not available", url);
        return false;
    }
    return true;
}

}  // namespace qp
