#include "json/JsonValue.h"

namespace qp {

const JsonValue* JsonValue::find(std::string_view key) const {
    const Object* members = object();
    return members != nullptr ? members->find(key) : nullptr;
}

const JsonValue* JsonValue::at(std::size_t index) const {
    const Array* elements = array();
    return elements != nullptr && index < elements->size() ? &(*elements)[index] : nullptr;
}

std::string JsonValue::typeName() const {
    switch (kind()) {
        case Kind::Null:
            return "null";
        case Kind::Boolean:
            return "boolean";
        case Kind::Number:
            return "number";
        case Kind::Float:
            return "double";
        case Kind::String:
            return "string";
        case Kind::Array:
            return "list";
        case Kind::Object:
            return "map";
        case Kind::Proxy:
            return (*proxy())->className();
    }
    return "value";
}

}  // namespace qp
