#include "analytics/SavedSessions.h"

#include <algorithm>

#include "analytics/UsageFileCache.h"
#include "platform/Log.h"

namespace qp {

SavedSessions::SavedSessions(const UsageFileCache& files, std::size_t maxSessions)
    : m_files(files), m_maxSessions(maxSessions) {}

void SavedSessions::load() {
    std::vector<std::string> sessions = m_files.readStoredSessions();
    std::lock_guard lock(m_mutex);
    m_sessions = std::move(sessions);
    if (m_sessions.size() > m_maxSessions) {
        m_sessions.erase(m_sessions.begin(),
                         m_sessions.end() - static_cast<std::ptrdiff_t>(m_maxSessions));
        persistLocked();
    }
}

void SavedSessions::add(std::string encodedSession) {
    std::lock_guard lock(m_mutex);
    m_sessions.push_back(std::move(encodedSession));
    if (m_sessions.size() > m_maxSessions) {
        m_sessions.erase(m_sessions.begin(),
                         m_sessions.end() - static_cast<std::ptrdiff_t>(m_maxSessions));
    }
    persistLocked();
}

std::vector<std::string> SavedSessions::snapshot() const {
    std::lock_guard lock(m_mutex);
    return m_sessions;
}

void SavedSessions::removeSent(const std::vector<std::string>& sentSessions) {
    std::lock_guard lock(m_mutex);
    bool changed = false;
    for (const std::string& sent : sentSessions) {
        const auto found = std::find(m_sessions.begin(), m_sessions.end(), sent);
        if (found == m_sessions.end()) continue;
        m_sessions.erase(found);
        changed = true;
    }
    if (changed) persistLocked();
}

std::size_t SavedSessions::size() const {
    std::lock_guard lock(m_mutex);
    return m_sessions.size();
}

void SavedSessions::persistLocked() const {
    Result<void> written = m_files.writeStoredSessions(m_sessions);
    if (!written.ok())
        logf("UsageAnalytics: Could not save sessions: {}", written.error().toString());
}

}  // namespace qp
