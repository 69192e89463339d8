#include "platform/plist/UserDefaults.h"

namespace qp {

std::string UserDefaults::stringForKey(const std::string& key) const {
    const std::optional<PlistValue> value = objectForKey(key);
    return value ? value->stringValue() : std::string();
}

std::int64_t UserDefaults::integerForKey(const std::string& key) const {
    const std::optional<PlistValue> value = objectForKey(key);
    return value ? value->integerValue() : 0;
}

bool UserDefaults::boolForKey(const std::string& key) const {
    const std::optional<PlistValue> value = objectForKey(key);
    return value && value->boolValue();
}

double UserDefaults::doubleForKey(const std::string& key) const {
    const std::optional<PlistValue> value = objectForKey(key);
    return value ? value->realValue() : 0.0;
}

std::optional<PlistDate> UserDefaults::dateForKey(const std::string& key) const {
    const std::optional<PlistValue> value = objectForKey(key);
    if (!value || !value->isDate()) return std::nullopt;
    return value->dateValue();
}

PlistData UserDefaults::dataForKey(const std::string& key) const {
    const std::optional<PlistValue> value = objectForKey(key);
    return value ? value->dataValue() : PlistData();
}

PlistArray UserDefaults::arrayForKey(const std::string& key) const {
    const std::optional<PlistValue> value = objectForKey(key);
    return value ? value->arrayValue() : PlistArray();
}

PlistDictionary UserDefaults::dictionaryForKey(const std::string& key) const {
    const std::optional<PlistValue> value = objectForKey(key);
    return value ? value->dictionaryValue() : PlistDictionary();
}

}  // namespace qp
