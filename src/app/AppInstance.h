#pragma once
// The windowed app's part in the one-app-per-home rule: a start either hands
// its URL to the app already running on the home and ends, or becomes that
// app and serves later starts. Also hands URLs opened into the app to the
// application object.

#include <memory>
#include <optional>
#include <string>

#include "platform/qt/InstanceChannel.h"

namespace qp {

class AppDelegate;
class Paths;

struct InstanceStart {
    // Set when this start is over: its URL went to the running app (0), or
    // that app did not answer (1).
    std::optional<int> exitStatus;
    // The channel this app now listens on; empty when none could be made
    // (the app then runs on its own, as a second copy).
    std::unique_ptr<InstanceChannel> channel;
};

// Claims the home of `paths` for this windowed start, handing `openURL`
// (empty: only the wish to see the window) to an app already running there.
// Needs the QApplication; prints what went wrong to stderr.
InstanceStart claimHome(const Paths& paths, const std::string& openURL);

// Serves later starts once the app has launched: their URLs go to the
// application object, their plain starts raise its window. `pendingURL`, the
// URL this start came with, goes to the application object right after.
void serveLaterStarts(InstanceChannel* channel, AppDelegate& delegate,
                      const std::string& pendingURL);

// Hands `url` to the application object's open-URL operation and logs it,
// every token and code in it redacted.
void openIncomingURL(AppDelegate& delegate, const std::string& url);

}  // namespace qp
