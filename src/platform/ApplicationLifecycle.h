#pragma once
// Turns desktop window events (activation, deactivation, minimise, restore,
// quit) into the phone's application lifecycle calls, in the phone's order,
// and posts the matching notifications: after the delegate's call, except
// did-become-active, which observers hear before the delegate.

#include <functional>
#include <string>

namespace qp {

class NotificationCenter;

// The calls an application object receives; all have do-nothing defaults.
class ApplicationDelegate {
public:
    virtual ~ApplicationDelegate() = default;
    virtual bool applicationDidFinishLaunchingWithOptions() { return true; }
    virtual void applicationDidBecomeActive() {}
    virtual void applicationWillResignActive() {}
    virtual void applicationDidEnterBackground() {}
    virtual void applicationWillEnterForeground() {}
    virtual void applicationWillTerminate() {}
    virtual void applicationDidReceiveMemoryWarning() {}
    virtual bool applicationOpenURLSourceApplicationAnnotation(const std::string& /*url*/,
                                                               const std::string& /*source*/,
                                                               const std::string& /*annotation*/) {
        return false;
    }
    virtual bool applicationHandleOpenURL(const std::string& /*url*/) { return false; }
};

class ApplicationLifecycle {
public:
    enum class State { NotRunning, Active, Inactive, Background, Terminated };

    // `notifications` may be null; the delegate is not owned.
    ApplicationLifecycle(ApplicationDelegate& delegate, NotificationCenter* notifications);

    State state() const { return m_state; }

    // Launch, then activation. Ignored once launched.
    void launch();
    // The application as a whole gained or lost the user's attention.
    void windowActivated();
    void windowDeactivated();
    // The window was minimised or hidden, or came back.
    void enterBackground();
    void enterForeground(bool windowIsActive);
    // The user quits: the app resigns, goes to the background, then terminates.
    void terminate();
    void memoryWarning();

private:
    void becomeActive();
    void resignActive();
    void post(const char* name);

    ApplicationDelegate& m_delegate;
    NotificationCenter* m_notifications;
    State m_state = State::NotRunning;
};

}  // namespace qp
