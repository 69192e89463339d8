#pragma once
// Settings held in memory for tests: no file, counts synchronize calls and
// can be told to fail them. Thread-safe like the real store.

#include <mutex>
#include <string>

#include "platform/plist/UserDefaults.h"

namespace qp {

class MemoryUserDefaults : public UserDefaults {
public:
    MemoryUserDefaults() = default;
    explicit MemoryUserDefaults(PlistDictionary values) : m_values(std::move(values)) {}

    std::optional<PlistValue> objectForKey(const std::string& key) const override {
        std::lock_guard lock(m_mutex);
        auto it = m_values.find(key);
        if (it == m_values.end()) return std::nullopt;
        return it->second;
    }

    void setObjectForKey(const PlistValue& value, const std::string& key) override {
        std::lock_guard lock(m_mutex);
        m_values[key] = value;
        m_dirty = true;
    }

    void removeObjectForKey(const std::string& key) override {
        std::lock_guard lock(m_mutex);
        if (m_values.erase(key) > 0) m_dirty = true;
    }

    bool synchronize() override {
        std::lock_guard lock(m_mutex);
        ++m_synchronizeCount;
        if (m_failSynchronize) return false;
        m_dirty = false;
        return true;
    }

    // The stored values, as a test wants to assert them.
    PlistDictionary values() const {
        std::lock_guard lock(m_mutex);
        return m_values;
    }
    // Changes made since the last successful synchronize.
    bool hasUnsavedChanges() const {
        std::lock_guard lock(m_mutex);
        return m_dirty;
    }
    int synchronizeCount() const {
        std::lock_guard lock(m_mutex);
        return m_synchronizeCount;
    }
    void setFailSynchronize(bool fail) {
        std::lock_guard lock(m_mutex);
        m_failSynchronize = fail;
    }

private:
    mutable std::mutex m_mutex;
    PlistDictionary m_values;
    bool m_dirty = false;
    bool m_failSynchronize = false;
    int m_synchronizeCount = 0;
};

}  // namespace qp
