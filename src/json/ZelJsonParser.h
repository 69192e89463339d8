#pragma once
// Reads JSON text into JsonValue trees. Strict where the format demands it,
// lenient in the few places the codec always was (vertical tab and form feed
// count as white space; commas between elements and members may be missing).
// One instance serves one run at a time.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "json/JsonArena.h"
#include "json/JsonValue.h"
#include "json/ZelJsonBase.h"

namespace qp {

class ZelJsonParser : public ZelJsonBase {
public:
    // A map or a list, or none with the reason in errorTrace(). No text at
    // all (nullopt) fails with code 12.
    std::optional<JsonValue> objectWithString(std::optional<std::string_view> text);
    // Any value, scalars included.
    std::optional<JsonValue> fragmentWithString(std::optional<std::string_view> text);

private:
    bool scanValue(JsonValue& out);
    bool scanRestOfArray(JsonArray& out);
    bool scanRestOfObject(JsonObject& out);
    // The text of a string, without escapes: either a piece of the input or
    // the scratch buffer, valid until the next string is read.
    bool scanRestOfString(std::string_view& out);
    [[gnu::noinline]] bool scanEscapedRest(const unsigned char* start, std::string_view& out);
    // The value read as one that owns its tree.
    JsonValue takeRoot(JsonValue& value);
    bool scanNumber(JsonValue& out);
    bool scanLiteralRest(std::string_view rest);
    // Out of line, so that the frames of the recursive scanners stay small
    // (nesting depth is bounded by the stack they take).
    [[gnu::noinline]] bool scanLiteral(JsonValue& out);
    [[gnu::noinline]] void finishArray(JsonArray& out, std::size_t base);
    [[gnu::noinline]] void finishObject(JsonObject& out, std::size_t base);
    [[gnu::noinline]] JsonValue& newElement();
    // Adds an empty member and answers its index.
    [[gnu::noinline]] std::size_t newMember();
    bool scanUnicodeChar(std::uint32_t& codePoint);
    bool scanHexQuad(std::uint32_t& value);
    void skipWhitespace() {
        if (m_pos < m_end && *m_pos <= ' ') m_pos = skipWhitespaceRun(m_pos, m_end);
    }
    [[gnu::noinline]] static const unsigned char* skipWhitespaceRun(const unsigned char* p,
                                                                    const unsigned char* end);
    bool at(unsigned char c) const { return m_pos < m_end && *m_pos == c; }

    const unsigned char* m_pos = nullptr;
    const unsigned char* m_end = nullptr;
    // Where the tree being read lives; it goes to the root at the end.
    std::unique_ptr<JsonArena> m_arena;
    // Elements and members of the containers being read, innermost last;
    // each container takes its own at its end, allocated once at its size.
    // They live in m_arena: nothing here owns anything.
    std::vector<JsonValue> m_elements;
    std::vector<JsonObject::Member> m_members;
    std::string m_scratch;
    // The last string read had no escapes.
    bool m_stringPlain = false;
};

}  // namespace qp
