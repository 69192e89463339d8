#pragma once
// The client's files on the device, in Library/UsageFiles: the saved sessions,
// the current session, the last session sent and the time of first use, each
// a binary property list. A file under its older dotted name is used when it
// exists. A damaged file is logged, set aside and read as absent.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "analytics/SessionRecord.h"
#include "platform/Result.h"

namespace qp {

inline constexpr const char* kUsageFilesFolder = "UsageFiles";
inline constexpr const char* kStoredSessionsFileFormat = "usageStored{}_{}.archive";
inline constexpr const char* kCurrentSessionFileFormat = "usageCurrent{}_{}.archive";
inline constexpr const char* kSentSessionFileFormat = "usageSent{}_{}.archive";
inline constexpr const char* kInitialTimestampFileFormat = "initialTimestamp{}.archive";

class UsageFileCache {
public:
    // Files are named with `keyHash` (see KeyHash.h) and the client's `agentVersion`.
    UsageFileCache(std::filesystem::path folder, std::int32_t keyHash, std::string agentVersion);

    // The folder under the application's library folder.
    static std::filesystem::path folderIn(const std::filesystem::path& library);

    const std::filesystem::path& folder() const { return m_folder; }
    Result<void> createFolder() const;

    std::filesystem::path storedSessionsFile() const;
    std::filesystem::path currentSessionFile() const;
    std::filesystem::path sentSessionFile() const;
    std::filesystem::path initialTimestampFile() const;

    // Encoded session records, oldest first; empty when absent or damaged.
    std::vector<std::string> readStoredSessions() const;
    Result<void> writeStoredSessions(const std::vector<std::string>& encodedSessions) const;

    bool hasCurrentSession() const;
    std::optional<SessionRecord> readCurrentSession() const;
    // Also marks the file as one that backups leave out.
    Result<void> writeCurrentSession(const SessionRecord& record) const;
    void removeCurrentSession() const;

    std::optional<SessionRecord> readSentSession() const;
    // `encodedRecord` is an output of encodeSessionRecord.
    Result<void> writeSentSession(const std::string& encodedRecord) const;

    std::optional<std::int64_t> readInitialTimestamp() const;
    Result<void> writeInitialTimestamp(std::int64_t millisecondsSince1970) const;

private:
    std::filesystem::path resolve(const std::string& name) const;
    void setAside(const std::filesystem::path& path, const std::string& why) const;
    std::optional<SessionRecord> readSessionFile(const std::filesystem::path& path,
                                                 const char* key) const;

    std::filesystem::path m_folder;
    std::int32_t m_keyHash;
    std::string m_agentVersion;
};

}  // namespace qp
