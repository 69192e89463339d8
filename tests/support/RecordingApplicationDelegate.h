#pragma once
// An application delegate that notes each lifecycle call by a short name
// ("launch", "active", "resign", "background", "foreground", "terminate"),
// optionally into a list that observers of the notifications share.

#include <string>
#include <vector>

#include "platform/ApplicationLifecycle.h"

namespace qp {

struct RecordingApplicationDelegate : ApplicationDelegate {
    explicit RecordingApplicationDelegate(std::vector<std::string>* shared = nullptr)
        : log(shared ? *shared : calls) {}

    bool applicationDidFinishLaunchingWithOptions() override {
        log.push_back("launch");
        return true;
    }
    void applicationDidBecomeActive() override { log.push_back("active"); }
    void applicationWillResignActive() override { log.push_back("resign"); }
    void applicationDidEnterBackground() override { log.push_back("background"); }
    void applicationWillEnterForeground() override { log.push_back("foreground"); }
    void applicationWillTerminate() override { log.push_back("terminate"); }

    std::vector<std::string> calls;
    std::vector<std::string>& log;
};

}  // namespace qp
