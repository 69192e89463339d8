#include "platform/plist/PlistUserDefaults.h"

#include "platform/Log.h"
#include "platform/Paths.h"

namespace qp {

namespace fs = std::filesystem;

namespace {

constexpr const char* kPreferencesExtension = ".plist";
constexpr int kMissingFileCode = 1;

}  // namespace

PlistUserDefaults::PlistUserDefaults(fs::path preferencesFolder, std::string bundleIdentifier)
    : m_path(std::move(preferencesFolder) / (std::move(bundleIdentifier) + kPreferencesExtension)) {
    load();
}

PlistUserDefaults::~PlistUserDefaults() {
    if (!synchronize()) logf("Settings not saved to {}", m_path.string());
}

void PlistUserDefaults::load() {
    Result<PlistValue> loaded = readPropertyListFile(m_path);
    if (loaded && loaded->isDictionary()) {
        m_values = loaded->dictionaryValue();
        return;
    }
    if (!loaded && loaded.error().code() == kMissingFileCode) return;

    logf("Settings file {} is damaged ({}); starting with empty settings", m_path.string(),
         loaded ? std::string("not a dictionary") : loaded.error().toString());
    Result<fs::path> moved = setAsideCorruptFile(m_path);
    if (moved) {
        logf("Damaged settings file kept as {}", moved->string());
    } else {
        logf("Damaged settings file could not be moved aside ({}); settings will not be saved",
             moved.error().toString());
        m_writable = false;
    }
}

std::optional<PlistValue> PlistUserDefaults::objectForKey(const std::string& key) const {
    std::lock_guard lock(m_mutex);
    auto it = m_values.find(key);
    if (it == m_values.end()) return std::nullopt;
    return it->second;
}

void PlistUserDefaults::setObjectForKey(const PlistValue& value, const std::string& key) {
    PlistDictionary probe{{key, value}};
    if (Result<void> fits = checkPropertyListValue(PlistValue(std::move(probe))); !fits) {
        logf("Setting \"{}\" not stored: {}", key, fits.error().toString());
        return;
    }
    std::lock_guard lock(m_mutex);
    auto [it, inserted] = m_values.try_emplace(key, value);
    if (!inserted) {
        if (it->second == value) return;
        it->second = value;
    }
    ++m_generation;
}

void PlistUserDefaults::removeObjectForKey(const std::string& key) {
    std::lock_guard lock(m_mutex);
    if (m_values.erase(key) > 0) ++m_generation;
}

bool PlistUserDefaults::synchronize() {
    std::lock_guard writeLock(m_writeMutex);
    PlistValue snapshot;
    std::uint64_t generation = 0;
    {
        std::lock_guard lock(m_mutex);
        if (m_generation == m_savedGeneration) return true;
        if (!m_writable) return false;
        snapshot = PlistValue(m_values);
        generation = m_generation;
    }
    // Written outside the value lock so readers on other threads never wait
    // for the disk.
    // The folder is made again should it have gone since the app started.
    std::error_code ignored;
    std::filesystem::create_directories(m_path.parent_path(), ignored);
    Result<void> written = writePropertyListFile(m_path, snapshot, PlistFormat::Binary);
    if (!written) {
        logf("Cannot save settings: {}", written.error().toString());
        return false;
    }
    std::lock_guard lock(m_mutex);
    m_savedGeneration = generation;
    return true;
}

PlistDictionary PlistUserDefaults::dictionaryRepresentation() const {
    std::lock_guard lock(m_mutex);
    return m_values;
}

}  // namespace qp
