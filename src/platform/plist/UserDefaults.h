#pragma once
// Persistent settings under fixed keys, as the phone's user defaults kept them.
// Reads of absent keys answer zero values (0, false, empty).

#include <optional>
#include <string>

#include "platform/plist/PropertyList.h"

namespace qp {

class UserDefaults {
public:
    virtual ~UserDefaults() = default;

    virtual std::optional<PlistValue> objectForKey(const std::string& key) const = 0;
    virtual void setObjectForKey(const PlistValue& value, const std::string& key) = 0;
    virtual void removeObjectForKey(const std::string& key) = 0;
    // Writes pending changes to storage; false when writing failed.
    virtual bool synchronize() = 0;

    std::string stringForKey(const std::string& key) const;
    std::int64_t integerForKey(const std::string& key) const;
    bool boolForKey(const std::string& key) const;
    double doubleForKey(const std::string& key) const;
    std::optional<PlistDate> dateForKey(const std::string& key) const;
    PlistData dataForKey(const std::string& key) const;
    PlistArray arrayForKey(const std::string& key) const;
    PlistDictionary dictionaryForKey(const std::string& key) const;

    void setInteger(std::int64_t value, const std::string& key) {
        setObjectForKey(PlistValue(value), key);
    }
    void setBool(bool value, const std::string& key) { setObjectForKey(PlistValue(value), key); }
    void setDouble(double value, const std::string& key) {
        setObjectForKey(PlistValue(value), key);
    }
    void setString(const std::string& value, const std::string& key) {
        setObjectForKey(PlistValue(value), key);
    }
};

}  // namespace qp
