#include "analytics/SavedSessions.h"

#include <algorithm>

#include "analytics/ReportCodec.h"
#include "analytics/UsageFileCache.h"
#include "platform/Log.h"

namespace qp {

namespace {

// The file and add() only ever hold records the encoder wrote, so an
// identifier that cannot be read is empty and matches no other session.
std::string sessionIdOf(const std::string& encoded) {
    Result<SessionRecord> record = decodeSessionRecord(encoded);
    return record.ok() ? record->sessionId : std::string();
}

}  // namespace

SavedSessions::SavedSessions(const UsageFileCache& files, std::size_t maxSessions)
    : m_files(files), m_maxSessions(maxSessions) {}

void SavedSessions::load() {
    std::vector<Saved> sessions;
    for (std::string& encoded : m_files.readStoredSessions()) {
        std::string id = sessionIdOf(encoded);
        sessions.push_back({std::move(id), std::move(encoded)});
    }
    std::lock_guard lock(m_mutex);
    m_sessions = std::move(sessions);
    if (m_sessions.size() > m_maxSessions) {
        dropOldestLocked();
        persistLocked();
    }
}

void SavedSessions::add(std::string encodedSession) {
    std::string id = sessionIdOf(encodedSession);
    std::lock_guard lock(m_mutex);
    const auto same = std::find_if(m_sessions.begin(), m_sessions.end(), [&](const Saved& s) {
        return !id.empty() && s.sessionId == id;
    });
    if (same != m_sessions.end()) {
        same->encoded = std::move(encodedSession);
    } else {
        m_sessions.push_back({std::move(id), std::move(encodedSession)});
        dropOldestLocked();
    }
    persistLocked();
}

std::vector<std::string> SavedSessions::snapshot() const {
    std::lock_guard lock(m_mutex);
    return encodedLocked();
}

std::vector<std::string> SavedSessions::encodedLocked() const {
    std::vector<std::string> encoded;
    encoded.reserve(m_sessions.size());
    for (const Saved& s : m_sessions) encoded.push_back(s.encoded);
    return encoded;
}

bool SavedSessions::contains(const std::string& sessionId) const {
    std::lock_guard lock(m_mutex);
    return std::any_of(m_sessions.begin(), m_sessions.end(),
                       [&](const Saved& s) { return s.sessionId == sessionId; });
}

void SavedSessions::removeSent(const std::vector<std::string>& sentSessions) {
    std::lock_guard lock(m_mutex);
    const std::size_t before = m_sessions.size();
    std::erase_if(m_sessions, [&](const Saved& s) {
        return std::find(sentSessions.begin(), sentSessions.end(), s.encoded) != sentSessions.end();
    });
    if (m_sessions.size() != before) persistLocked();
}

std::size_t SavedSessions::size() const {
    std::lock_guard lock(m_mutex);
    return m_sessions.size();
}

void SavedSessions::dropOldestLocked() {
    if (m_sessions.size() <= m_maxSessions) return;
    m_sessions.erase(m_sessions.begin(),
                     m_sessions.end() - static_cast<std::ptrdiff_t>(m_maxSessions));
}

void SavedSessions::persistLocked() const {
    Result<void> written = m_files.writeStoredSessions(encodedLocked());
    if (!written.ok())
        logf("UsageAnalytics: Could not save sessions: {}", written.error().toString());
}

}  // namespace qp
