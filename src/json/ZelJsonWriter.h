#pragma once
// Writes JsonValue trees as JSON text, compact or human-readable (two blanks
// per level), with keys in their own order or sorted. One instance serves one
// run at a time; its settings may be changed from any thread.

#include <atomic>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "json/JsonOutput.h"
#include "json/JsonValue.h"
#include "json/ZelJsonBase.h"

namespace qp {

class ZelJsonWriter : public ZelJsonBase {
public:
    // The text of a map or a list (directly or through its proxy), or none
    // with the reason in errorTrace().
    std::optional<std::string> stringWithObject(const JsonValue& value);
    // The text of any value.
    std::optional<std::string> stringWithFragment(const JsonValue& value);

    bool humanReadable() const { return m_humanReadable.load(std::memory_order_relaxed); }
    void setHumanReadable(bool on) { m_humanReadable.store(on, std::memory_order_relaxed); }
    bool sortKeys() const { return m_sortKeys.load(std::memory_order_relaxed); }
    void setSortKeys(bool on) { m_sortKeys.store(on, std::memory_order_relaxed); }

private:
    bool appendValue(const JsonValue& value, JsonOutput& out);
    bool appendArray(const JsonValue::Array& array, JsonOutput& out);
    bool appendObject(const JsonObject& object, JsonOutput& out);
    bool appendMember(const JsonObject::Member& member, bool& comma, JsonOutput& out);
    // Out of line: the rare paths keep their locals off the recursive frames.
    [[gnu::noinline]] bool appendProxy(const JsonValue& value, JsonOutput& out);
    [[gnu::noinline]] static std::vector<const JsonObject::Member*> sortedMembers(
        const JsonObject& object);
    // Compact output: the separator, a key that needs no escapes and the
    // colon in one piece; false (nothing written) for any other key.
    bool appendPlainKey(const JsonString& key, bool separate, JsonOutput& out);
    bool appendString(std::string_view text, JsonOutput& out);
    // Text with nothing to escape, between quotes.
    static void appendPlainString(std::string_view text, JsonOutput& out);
    // The rest of a string from its first byte that needs escaping, or
    // the failure when `plainEnd` is null (the text is not UTF-8).
    [[gnu::noinline]] bool appendEscapedString(const unsigned char* p,
                                               const unsigned char* plainEnd,
                                               const unsigned char* end, JsonOutput& out);
    [[gnu::noinline]] bool appendFloat(double value, JsonOutput& out);
    void appendIndent(JsonOutput& out) const;

    std::atomic<bool> m_humanReadable{false};
    std::atomic<bool> m_sortKeys{false};
    // The settings as they stood when the current run began.
    bool m_runHumanReadable = false;
    bool m_runSortKeys = false;
};

}  // namespace qp
