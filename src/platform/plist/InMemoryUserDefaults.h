#pragma once
// Settings that live only as long as the object, with no file behind them:
// the command line runs the feed this way without touching the app's stored
// settings. Thread-safe like the stored kind.

#include <mutex>
#include <string>

#include "platform/plist/UserDefaults.h"

namespace qp {

class InMemoryUserDefaults : public UserDefaults {
public:
    InMemoryUserDefaults() = default;
    explicit InMemoryUserDefaults(PlistDictionary values) : m_values(std::move(values)) {}

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

    // Nothing to write; marks the changes as kept.
    bool synchronize() override {
        std::lock_guard lock(m_mutex);
        m_dirty = false;
        return true;
    }

    PlistDictionary values() const {
        std::lock_guard lock(m_mutex);
        return m_values;
    }
    // Changes made since the last successful synchronize.
    bool hasUnsavedChanges() const {
        std::lock_guard lock(m_mutex);
        return m_dirty;
    }

private:
    mutable std::mutex m_mutex;
    PlistDictionary m_values;
    bool m_dirty = false;
};

}  // namespace qp
