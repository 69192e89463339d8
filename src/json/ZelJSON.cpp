#include "json/ZelJSON.h"

namespace qp {

ZelJSON::ZelJSON() {
    setMaxDepth(kDefaultMaxDepth);
}

void ZelJSON::setMaxDepth(unsigned maxDepth) {
    ZelJsonBase::setMaxDepth(maxDepth);
    m_parser.setMaxDepth(maxDepth);
    m_writer.setMaxDepth(maxDepth);
}

template <typename T>
std::optional<T> ZelJSON::finish(std::optional<T> result, const ZelJsonBase& component,
                                 Error* error) {
    if (!result) {
        setErrorTrace(component.errorTrace());
        if (error != nullptr && !errorTrace().empty()) *error = errorTrace().back();
    }
    return result;
}

std::optional<JsonValue> ZelJSON::objectWithString(std::optional<std::string_view> text) {
    return finish(m_parser.objectWithString(text), m_parser, nullptr);
}

std::optional<JsonValue> ZelJSON::objectWithString(std::optional<std::string_view> text,
                                                   bool allowScalar, Error* error) {
    return finish(allowScalar ? m_parser.fragmentWithString(text) : m_parser.objectWithString(text),
                  m_parser, error);
}

std::optional<JsonValue> ZelJSON::objectWithString(std::optional<std::string_view> text,
                                                   Error* error) {
    return objectWithString(text, false, error);
}

std::optional<JsonValue> ZelJSON::fragmentWithString(std::optional<std::string_view> text,
                                                     Error* error) {
    return objectWithString(text, true, error);
}

std::optional<std::string> ZelJSON::stringWithObject(const JsonValue& value) {
    return finish(m_writer.stringWithObject(value), m_writer, nullptr);
}

std::optional<std::string> ZelJSON::stringWithObject(const JsonValue& value, bool allowScalar,
                                                     Error* error) {
    return finish(
        allowScalar ? m_writer.stringWithFragment(value) : m_writer.stringWithObject(value),
        m_writer, error);
}

std::optional<std::string> ZelJSON::stringWithObject(const JsonValue& value, Error* error) {
    return stringWithObject(value, false, error);
}

std::optional<std::string> ZelJSON::stringWithFragment(const JsonValue& value, Error* error) {
    return stringWithObject(value, true, error);
}

}  // namespace qp
