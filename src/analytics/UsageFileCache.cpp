#include "analytics/UsageFileCache.h"

#include <sys/xattr.h>

#include <fmt/format.h>

#include "analytics/ReportCodec.h"
#include "platform/Log.h"
#include "platform/Paths.h"
#include "platform/plist/PropertyList.h"

namespace qp {

namespace {

// Keys inside the archives.
constexpr const char* kStoredSessionsKey = "UsageStoredSessions";
constexpr const char* kCurrentSessionKey = "UsageCurrentSession";
constexpr const char* kSentSessionKey = "UsageSentSession";
constexpr const char* kInitialTimestampKey = "UsageInitialTimestamp";

// The extended attribute through which desktop backup tools learn that a
// file need not be kept; not every file system carries user attributes.
constexpr const char* kBackupAttribute = "user.xdg.robots.backup";
constexpr const char* kBackupAttributeNo = "false";

constexpr const char* kUsageFilesErrorDomain = "qp.analytics.files";
enum UsageFilesErrorCode { kUsageFilesFolderFailed = 1 };

PlistData toData(const std::string& bytes) {
    return PlistData(bytes.begin(), bytes.end());
}

std::string fromData(const PlistData& data) {
    return std::string(data.begin(), data.end());
}

Result<void> writeArchive(const std::filesystem::path& path, const std::string& key,
                          PlistValue value) {
    return writePropertyListFile(path, PlistValue(PlistDictionary{{key, std::move(value)}}),
                                 PlistFormat::Binary);
}

}  // namespace

UsageFileCache::UsageFileCache(std::filesystem::path folder, std::int32_t keyHash,
                               std::string agentVersion)
    : m_folder(std::move(folder)), m_keyHash(keyHash), m_agentVersion(std::move(agentVersion)) {}

std::filesystem::path UsageFileCache::folderIn(const std::filesystem::path& library) {
    return library / kUsageFilesFolder;
}

Result<void> UsageFileCache::createFolder() const {
    std::error_code ec;
    std::filesystem::create_directories(m_folder, ec);
    if (ec) {
        return Error(kUsageFilesErrorDomain, kUsageFilesFolderFailed,
                     {{kLocalizedDescriptionKey,
                       "Could not create " + m_folder.string() + ": " + ec.message()}});
    }
    return {};
}

std::filesystem::path UsageFileCache::resolve(const std::string& name) const {
    const std::filesystem::path older = m_folder / ("." + name);
    std::error_code ec;
    if (std::filesystem::exists(older, ec)) return older;
    return m_folder / name;
}

std::filesystem::path UsageFileCache::storedSessionsFile() const {
    return resolve(fmt::format(fmt::runtime(kStoredSessionsFileFormat), m_keyHash, m_agentVersion));
}

std::filesystem::path UsageFileCache::currentSessionFile() const {
    return resolve(fmt::format(fmt::runtime(kCurrentSessionFileFormat), m_keyHash, m_agentVersion));
}

std::filesystem::path UsageFileCache::sentSessionFile() const {
    return resolve(fmt::format(fmt::runtime(kSentSessionFileFormat), m_keyHash, m_agentVersion));
}

std::filesystem::path UsageFileCache::initialTimestampFile() const {
    return resolve(fmt::format(fmt::runtime(kInitialTimestampFileFormat), m_keyHash));
}

void UsageFileCache::setAside(const std::filesystem::path& path, const std::string& why) const {
    Result<std::filesystem::path> moved = setAsideCorruptFile(path);
    if (moved.ok()) {
        logf("UsageAnalytics: {} is damaged ({}); set aside as {}", path.string(), why,
             moved->string());
    } else {
        logf("UsageAnalytics: {} is damaged ({}) and could not be set aside: {}", path.string(),
             why, moved.error().toString());
    }
}

std::vector<std::string> UsageFileCache::readStoredSessions() const {
    const std::filesystem::path path = storedSessionsFile();
    Result<PlistValue> archive = readPropertyListFile(path);
    if (!archive.ok()) {
        if (archive.error().code() != kPropertyListMissing)
            setAside(path, archive.error().toString());
        return {};
    }
    const PlistValue* list = archive->find(kStoredSessionsKey);
    if (list == nullptr || !list->isArray()) {
        setAside(path, "no list of sessions");
        return {};
    }
    std::vector<std::string> sessions;
    for (const PlistValue& item : list->arrayValue()) {
        std::string bytes = fromData(item.dataValue());
        Result<SessionRecord> decoded = decodeSessionRecord(bytes);
        if (!item.isData() || !decoded.ok()) {
            setAside(path, item.isData() ? decoded.error().toString() : "a session is not data");
            return {};
        }
        sessions.push_back(std::move(bytes));
    }
    return sessions;
}

Result<void> UsageFileCache::writeStoredSessions(
    const std::vector<std::string>& encodedSessions) const {
    PlistArray list;
    list.reserve(encodedSessions.size());
    for (const std::string& bytes : encodedSessions) list.emplace_back(toData(bytes));
    return writeArchive(storedSessionsFile(), kStoredSessionsKey, PlistValue(std::move(list)));
}

std::optional<SessionRecord> UsageFileCache::readSessionFile(const std::filesystem::path& path,
                                                             const char* key) const {
    Result<PlistValue> archive = readPropertyListFile(path);
    if (!archive.ok()) {
        if (archive.error().code() != kPropertyListMissing)
            setAside(path, archive.error().toString());
        return std::nullopt;
    }
    const PlistValue* data = archive->find(key);
    if (data == nullptr || !data->isData()) {
        setAside(path, "no session in it");
        return std::nullopt;
    }
    Result<SessionRecord> decoded = decodeSessionRecord(fromData(data->dataValue()));
    if (!decoded.ok()) {
        setAside(path, decoded.error().toString());
        return std::nullopt;
    }
    return std::move(decoded).value();
}

bool UsageFileCache::hasCurrentSession() const {
    std::error_code ec;
    return std::filesystem::exists(currentSessionFile(), ec);
}

std::optional<SessionRecord> UsageFileCache::readCurrentSession() const {
    return readSessionFile(currentSessionFile(), kCurrentSessionKey);
}

Result<void> UsageFileCache::writeCurrentSession(const SessionRecord& record) const {
    const std::filesystem::path path = currentSessionFile();
    Result<void> written =
        writeArchive(path, kCurrentSessionKey, PlistValue(toData(encodeSessionRecord(record))));
    if (written.ok()) {
        // Best effort: where the attribute is not supported the file is simply backed up.
        (void)::setxattr(path.c_str(), kBackupAttribute, kBackupAttributeNo,
                         std::char_traits<char>::length(kBackupAttributeNo), 0);
    }
    return written;
}

void UsageFileCache::removeCurrentSession() const {
    std::error_code ec;
    std::filesystem::remove(currentSessionFile(), ec);
}

std::optional<SessionRecord> UsageFileCache::readSentSession() const {
    return readSessionFile(sentSessionFile(), kSentSessionKey);
}

Result<void> UsageFileCache::writeSentSession(const std::string& encodedRecord) const {
    return writeArchive(sentSessionFile(), kSentSessionKey, PlistValue(toData(encodedRecord)));
}

std::optional<std::int64_t> UsageFileCache::readInitialTimestamp() const {
    const std::filesystem::path path = initialTimestampFile();
    Result<PlistValue> archive = readPropertyListFile(path);
    if (!archive.ok()) {
        if (archive.error().code() != kPropertyListMissing)
            setAside(path, archive.error().toString());
        return std::nullopt;
    }
    const PlistValue* value = archive->find(kInitialTimestampKey);
    if (value == nullptr || !value->isInteger()) {
        setAside(path, "no time in it");
        return std::nullopt;
    }
    return value->integerValue();
}

Result<void> UsageFileCache::writeInitialTimestamp(std::int64_t millisecondsSince1970) const {
    return writeArchive(initialTimestampFile(), kInitialTimestampKey,
                        PlistValue(millisecondsSince1970));
}

}  // namespace qp
