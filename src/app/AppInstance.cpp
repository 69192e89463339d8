#include "app/AppInstance.h"

#include <QTimer>

#include <cstdio>

#include "app/AppDelegate.h"
#include "platform/IncomingURL.h"
#include "platform/Log.h"
#include "platform/Paths.h"
#include "platform/RuntimeFolder.h"
#include "platform/ui/Window.h"

namespace qp {

namespace {

void raise(Window& window) {
    if (window.isMinimized()) window.showNormal();
    window.show();
    window.raise();
    window.activateWindow();
}

}  // namespace

InstanceStart claimHome(const Paths& paths, const std::string& openURL) {
    // The private runtime folder, as the desktop session provides it; the
    // home's caches when there is none to be had.
    const std::filesystem::path folder = providePrivateRuntimeFolder().value_or(paths.caches());
    InstanceStart start;
    start.channel =
        std::make_unique<InstanceChannel>(InstanceChannel::socketPath(folder, paths.home()));
    const Result<InstanceChannel::Claim> claimed = start.channel->claim(openURL);
    if (claimed.ok() && claimed.value() == InstanceChannel::Claim::Forwarded) {
        start.exitStatus = 0;
        start.channel.reset();
    } else if (!claimed.ok()) {
        std::fprintf(stderr, "quillpost: %s\n", claimed.error().description().c_str());
        if (claimed.error().code() == kInstanceErrorNoAnswer) start.exitStatus = 1;
        start.channel.reset();
    }
    return start;
}

void serveLaterStarts(InstanceChannel* channel, AppDelegate& delegate,
                      const std::string& pendingURL) {
    if (channel) {
        channel->setHandlers(
            {[&delegate](const std::string& url) { openIncomingURL(delegate, url); },
             [&delegate] {
                 if (Window* window = delegate.window()) raise(*window);
                 logLine("Another start on this home raised its window");
             }});
        logf("Later starts on this home reach this app at {}", channel->socketPath().string());
    }
    if (!pendingURL.empty()) {
        QTimer::singleShot(0, [&delegate, pendingURL] { openIncomingURL(delegate, pendingURL); });
    }
}

void openIncomingURL(AppDelegate& delegate, const std::string& url) {
    const bool taken = delegate.applicationOpenURLSourceApplicationAnnotation(url, {}, {});
    logf("Opened {} in the app: {}", redactedURL(url),
         taken ? "the login took it" : "declined, no login was waiting for it");
}

}  // namespace qp
