#pragma once
// The sessions kept on the device until a report carries them away: encoded
// session records, oldest first, at most a fixed number of them, one per
// session identifier (a later state of a session replaces the earlier one in
// its place). Every change is written through to the saved-sessions file.
// Safe to use from any thread.

#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

namespace qp {

class UsageFileCache;

class SavedSessions {
public:
    // `files` must outlive this object.
    SavedSessions(const UsageFileCache& files, std::size_t maxSessions);

    // Replaces the list with what the file holds.
    void load();
    // Keeps a session (an output of encodeSessionRecord). A session already
    // kept under the same identifier is replaced; otherwise it is appended,
    // and when the list then holds more than the maximum, the oldest go.
    void add(std::string encodedSession);
    std::vector<std::string> snapshot() const;
    bool contains(const std::string& sessionId) const;
    // Removes the sessions that a report carried, and only those: sessions
    // that joined, or were replaced by a later state, while the report was on
    // its way stay for the next one.
    void removeSent(const std::vector<std::string>& sentSessions);
    std::size_t size() const;

private:
    struct Saved {
        std::string sessionId;
        std::string encoded;
    };

    std::vector<std::string> encodedLocked() const;
    void persistLocked() const;
    void dropOldestLocked();

    const UsageFileCache& m_files;
    std::size_t m_maxSessions;
    mutable std::mutex m_mutex;
    std::vector<Saved> m_sessions;
};

}  // namespace qp
