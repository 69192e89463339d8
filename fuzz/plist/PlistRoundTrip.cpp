// Untrusted property lists (settings files, category files, feed files): any
// bytes either fail to parse or give a value that survives a binary round
// trip unchanged.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "FuzzTarget.h"
#include "platform/plist/PropertyList.h"

namespace qp {

void fuzzOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    Result<PlistValue> parsed = parsePropertyList(bytes);
    if (!parsed.ok()) return;
    ignoreResult(serializePropertyList(*parsed, PlistFormat::Xml));
    Result<std::string> binary = serializePropertyList(*parsed, PlistFormat::Binary);
    if (!binary.ok()) return;  // e.g. a date the binary format cannot hold
    Result<PlistValue> again = parsePropertyList(*binary);
    if (!again.ok() || !(*again == *parsed)) {
        std::fprintf(stderr, "property list changed in a binary round trip\n");
        std::abort();
    }
}

}  // namespace qp
