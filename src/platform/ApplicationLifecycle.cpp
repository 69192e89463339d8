#include "platform/ApplicationLifecycle.h"

#include "platform/NotificationCenter.h"

namespace qp {

ApplicationLifecycle::ApplicationLifecycle(ApplicationDelegate& delegate,
                                           NotificationCenter* notifications)
    : m_delegate(delegate), m_notifications(notifications) {}

void ApplicationLifecycle::post(const char* name) {
    if (m_notifications) m_notifications->post(name, this);
}

void ApplicationLifecycle::launch() {
    if (m_state != State::NotRunning) return;
    m_state = State::Inactive;
    m_delegate.applicationDidFinishLaunchingWithOptions();
    post(kApplicationDidFinishLaunchingNotification);
    becomeActive();
}

void ApplicationLifecycle::becomeActive() {
    m_state = State::Active;
    // Observers hear of the activation before the delegate acts on it, so
    // what the delegate records then (the device events) lands in the usage
    // session that the return opens, not in the one the absence ended.
    post(kApplicationDidBecomeActiveNotification);
    m_delegate.applicationDidBecomeActive();
}

void ApplicationLifecycle::resignActive() {
    m_state = State::Inactive;
    m_delegate.applicationWillResignActive();
    post(kApplicationWillResignActiveNotification);
}

void ApplicationLifecycle::windowActivated() {
    if (m_state == State::Inactive) becomeActive();
}

void ApplicationLifecycle::windowDeactivated() {
    if (m_state == State::Active) resignActive();
}

void ApplicationLifecycle::enterBackground() {
    if (m_state == State::Active) resignActive();
    if (m_state != State::Inactive) return;
    m_state = State::Background;
    m_delegate.applicationDidEnterBackground();
    post(kApplicationDidEnterBackgroundNotification);
}

void ApplicationLifecycle::enterForeground(bool windowIsActive) {
    if (m_state != State::Background) return;
    m_state = State::Inactive;
    m_delegate.applicationWillEnterForeground();
    post(kApplicationWillEnterForegroundNotification);
    if (windowIsActive) becomeActive();
}

void ApplicationLifecycle::terminate() {
    if (m_state == State::NotRunning || m_state == State::Terminated) return;
    enterBackground();
    m_state = State::Terminated;
    m_delegate.applicationWillTerminate();
    post(kApplicationWillTerminateNotification);
}

void ApplicationLifecycle::memoryWarning() {
    if (m_state == State::NotRunning || m_state == State::Terminated) return;
    m_delegate.applicationDidReceiveMemoryWarning();
    post(kApplicationDidReceiveMemoryWarningNotification);
}

}  // namespace qp
