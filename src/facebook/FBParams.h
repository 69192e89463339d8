#pragma once
// The parameters of a request to the social network: text values, images
// (sent as PNG files) and raw binary data (sent as files of unknown type).

#include <map>
#include <string>
#include <variant>

#include "imaging/Image.h"

namespace qp {

// Raw bytes sent as a file part.
struct FBData {
    std::string bytes;
    friend bool operator==(const FBData&, const FBData&) = default;
};

using FBParamValue = std::variant<std::string, Image, FBData>;
// Iterated in key order; the order of a request's pairs and parts carries no meaning.
using FBParams = std::map<std::string, FBParamValue>;

// Whether the value travels as a file part (an image or binary data).
inline bool isFileParam(const FBParamValue& value) {
    return !std::holds_alternative<std::string>(value);
}

// The text value under `key`, or nullptr when absent or not text.
inline const std::string* textParam(const FBParams& params, const std::string& key) {
    auto it = params.find(key);
    return it == params.end() ? nullptr : std::get_if<std::string>(&it->second);
}

}  // namespace qp
