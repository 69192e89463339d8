// The property the JSON fuzzer checks: whatever the reader accepts, the writer
// writes and the reader reads back as the same value, in both output styles;
// whatever it refuses, it explains. A broken property aborts.
#include "FuzzTarget.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "json/ZelJsonParser.h"
#include "json/ZelJsonWriter.h"

namespace qp {
namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "JSON round trip broken: %s\n", what);
    std::abort();
}

// Every record but the first chains to the one before it.
void checkTrace(const std::vector<Error>& trace) {
    if (trace.empty()) fail("failure without an error record");
    const Error* link = &trace.back();
    std::size_t length = 0;
    for (; link != nullptr; link = link->underlying()) ++length;
    if (length != trace.size()) fail("error chain and trace differ in length");
}

void writeAndReadBack(const JsonValue& value, bool pretty) {
    ZelJsonWriter writer;
    writer.setHumanReadable(pretty);
    writer.setSortKeys(pretty);
    const auto text = writer.stringWithFragment(value);
    if (!text) fail("a value that was read cannot be written");
    ZelJsonParser parser;
    const auto again = parser.fragmentWithString(*text);
    if (!again) fail("written text does not read back");
    if (!(*again == value)) fail("written text reads back as another value");
}

}  // namespace

void fuzzOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    ZelJsonParser parser;
    const auto value = parser.fragmentWithString(text);
    if (!value) {
        checkTrace(parser.errorTrace());
        return;
    }
    if (!parser.errorTrace().empty()) fail("success with an error trace");
    if (parser.objectWithString(text).has_value() != value->isContainer()) {
        fail("strict and fragment forms disagree");
    }
    writeAndReadBack(*value, false);
    writeAndReadBack(*value, true);
}

}  // namespace qp
