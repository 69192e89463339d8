#include "json/JsonConveniences.h"

#include "json/JsonErrors.h"
#include "json/ZelJsonParser.h"
#include "json/ZelJsonWriter.h"
#include "platform/Log.h"

namespace qp {
namespace {

template <typename T>
std::optional<T> logFailure(std::optional<T> result, const ZelJsonBase& component,
                            const char* line) {
    if (!result) logLine(fillJsonErrorText(line, describeErrorTrace(component.errorTrace())));
    return result;
}

}  // namespace

std::optional<std::string> JSONRepresentation(const JsonValue& value) {
    ZelJsonWriter writer;
    return logFailure(writer.stringWithObject(value), writer, kLogJSONRepresentationFailed);
}

std::optional<std::string> JSONFragment(const JsonValue& value) {
    ZelJsonWriter writer;
    return logFailure(writer.stringWithFragment(value), writer, kLogJSONFragmentFailed);
}

std::optional<JsonValue> JSONValue(std::string_view text) {
    ZelJsonParser parser;
    return logFailure(parser.objectWithString(text), parser, kLogJSONValueFailed);
}

std::optional<JsonValue> JSONFragmentValue(std::string_view text) {
    ZelJsonParser parser;
    return logFailure(parser.fragmentWithString(text), parser, kLogJSONFragmentValueFailed);
}

}  // namespace qp
