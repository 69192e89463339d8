#pragma once
// One object for both directions: owns a reader and a writer, forwards to
// them, and keeps a copy of the failing one's error trace. The error forms
// also hand the outermost error record to an out-parameter.

#include <optional>
#include <string>
#include <string_view>

#include "json/JsonValue.h"
#include "json/ZelJsonBase.h"
#include "json/ZelJsonParser.h"
#include "json/ZelJsonWriter.h"

namespace qp {

class ZelJSON : public ZelJsonBase {
public:
    ZelJSON();

    std::optional<JsonValue> objectWithString(std::optional<std::string_view> text);
    // The fragment form when `allowScalar` is true, else the strict one.
    std::optional<JsonValue> objectWithString(std::optional<std::string_view> text,
                                              bool allowScalar, Error* error);
    std::optional<JsonValue> objectWithString(std::optional<std::string_view> text, Error* error);
    std::optional<JsonValue> fragmentWithString(std::optional<std::string_view> text, Error* error);

    std::optional<std::string> stringWithObject(const JsonValue& value);
    std::optional<std::string> stringWithObject(const JsonValue& value, bool allowScalar,
                                                Error* error);
    std::optional<std::string> stringWithObject(const JsonValue& value, Error* error);
    std::optional<std::string> stringWithFragment(const JsonValue& value, Error* error);

    // The reader's limit; setting it sets both components'.
    unsigned maxDepth() const override { return m_parser.maxDepth(); }
    void setMaxDepth(unsigned maxDepth) override;
    bool humanReadable() const { return m_writer.humanReadable(); }
    void setHumanReadable(bool on) { m_writer.setHumanReadable(on); }
    bool sortKeys() const { return m_writer.sortKeys(); }
    void setSortKeys(bool on) { m_writer.setSortKeys(on); }

    ZelJsonParser& jsonParser() { return m_parser; }
    ZelJsonWriter& jsonWriter() { return m_writer; }

private:
    template <typename T>
    std::optional<T> finish(std::optional<T> result, const ZelJsonBase& component, Error* error);

    ZelJsonParser m_parser;
    ZelJsonWriter m_writer;
};

}  // namespace qp
