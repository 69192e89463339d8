#pragma once
// The settings store: user defaults kept in one binary property-list file,
// "<bundle identifier>.plist" in the preferences folder. Thread-safe.

#include <cstdint>
#include <filesystem>
#include <mutex>
#include <string>

#include "platform/plist/UserDefaults.h"

namespace qp {

class PlistUserDefaults : public UserDefaults {
public:
    // Loads the file now. An absent file is an empty store; a damaged one is
    // logged, set aside beside itself and the store starts empty.
    PlistUserDefaults(std::filesystem::path preferencesFolder, std::string bundleIdentifier);
    // Writes pending changes, as the platform's store did on the way out.
    ~PlistUserDefaults() override;

    PlistUserDefaults(const PlistUserDefaults&) = delete;
    PlistUserDefaults& operator=(const PlistUserDefaults&) = delete;

    std::optional<PlistValue> objectForKey(const std::string& key) const override;
    // A value the file cannot hold (see checkPropertyListValue) is logged and
    // not stored, so it cannot stop every later change from being saved.
    void setObjectForKey(const PlistValue& value, const std::string& key) override;
    void removeObjectForKey(const std::string& key) override;
    // Writes atomically when anything changed since the last write.
    bool synchronize() override;

    const std::filesystem::path& path() const { return m_path; }
    PlistDictionary dictionaryRepresentation() const;

private:
    void load();

    const std::filesystem::path m_path;
    mutable std::mutex m_mutex;  // guards the fields below
    PlistDictionary m_values;
    std::uint64_t m_generation = 0;       // bumped by every change
    std::uint64_t m_savedGeneration = 0;  // the generation the file holds
    // Off when a file we could not read could not be moved aside either:
    // writing would destroy it.
    bool m_writable = true;
    std::mutex m_writeMutex;  // one synchronize at a time, so writes land in order
};

}  // namespace qp
