#pragma once
// Lets any object take part in writing: the writer puts the value that
// proxyForJson() gives in the object's place.

#include <optional>
#include <string>

namespace qp {

class JsonValue;

class JsonProxy {
public:
    virtual ~JsonProxy() = default;
    // The value written in this object's place; none when it has no JSON form.
    virtual std::optional<JsonValue> proxyForJson() const = 0;
    // The name that error texts give this object.
    virtual std::string className() const { return "JsonProxy"; }
};

}  // namespace qp
