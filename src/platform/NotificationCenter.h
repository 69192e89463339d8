#pragma once
// Named notifications between subsystems. Observers register for a name and,
// optionally, one sender; post() delivers synchronously on the calling thread,
// postOnMainQueue() hands delivery to the main thread from any thread.

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace qp {

class MainQueue;

struct Notification {
    std::string name;
    const void* sender = nullptr;
    std::map<std::string, std::string> userInfo;
};

class NotificationCenter {
public:
    using Handler = std::function<void(const Notification&)>;
    using ObserverId = std::uint64_t;

    explicit NotificationCenter(MainQueue* mainQueue = nullptr);

    // `sender == nullptr` observes the name from every sender.
    ObserverId addObserver(const std::string& name, const void* sender, Handler handler);
    void removeObserver(ObserverId id);

    void post(const std::string& name, const void* sender = nullptr,
              std::map<std::string, std::string> userInfo = {});
    // Delivers on the main queue; falls back to post() when there is no queue.
    void postOnMainQueue(const std::string& name, const void* sender = nullptr,
                         std::map<std::string, std::string> userInfo = {});

    std::size_t observerCount() const;

private:
    struct Observer {
        ObserverId id;
        std::string name;
        const void* sender;
        Handler handler;
    };

    MainQueue* m_mainQueue;
    mutable std::mutex m_mutex;
    std::vector<Observer> m_observers;
    ObserverId m_nextId = 1;
};

// The application lifecycle notifications, posted by the application object.
inline constexpr const char* kApplicationDidFinishLaunchingNotification =
    "UIApplicationDidFinishLaunchingNotification";
inline constexpr const char* kApplicationDidBecomeActiveNotification =
    "UIApplicationDidBecomeActiveNotification";
inline constexpr const char* kApplicationWillResignActiveNotification =
    "UIApplicationWillResignActiveNotification";
inline constexpr const char* kApplicationDidEnterBackgroundNotification =
    "UIApplicationDidEnterBackgroundNotification";
inline constexpr const char* kApplicationWillEnterForegroundNotification =
    "UIApplicationWillEnterForegroundNotification";
inline constexpr const char* kApplicationWillTerminateNotification =
    "UIApplicationWillTerminateNotification";
inline constexpr const char* kApplicationDidReceiveMemoryWarningNotification =
    "UIApplicationDidReceiveMemoryWarningNotification";

}  // namespace qp
