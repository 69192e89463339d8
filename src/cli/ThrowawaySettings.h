#pragma once
// Settings that live only as long as the object: the command line runs the
// feed without touching the app's stored settings.

#include <map>
#include <mutex>
#include <string>

#include "platform/plist/UserDefaults.h"

namespace qp {

class ThrowawaySettings final : public UserDefaults {
public:
    std::optional<PlistValue> objectForKey(const std::string& key) const override {
        std::lock_guard lock(m_mutex);
        auto it = m_values.find(key);
        if (it == m_values.end()) return std::nullopt;
        return it->second;
    }
    void setObjectForKey(const PlistValue& value, const std::string& key) override {
        std::lock_guard lock(m_mutex);
        m_values[key] = value;
    }
    void removeObjectForKey(const std::string& key) override {
        std::lock_guard lock(m_mutex);
        m_values.erase(key);
    }
    bool synchronize() override { return true; }

private:
    mutable std::mutex m_mutex;
    std::map<std::string, PlistValue> m_values;
};

}  // namespace qp
