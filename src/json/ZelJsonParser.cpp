#include "json/ZelJsonParser.h"

#include <bit>
#include <cstring>
#include <iterator>

#include "json/JsonErrors.h"
#include "json/Utf8.h"

namespace qp {
namespace {

bool isDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

bool isWhitespace(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int hexValue(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::optional<JsonValue> ZelJsonParser::objectWithString(std::optional<std::string_view> text) {
    std::optional<JsonValue> value = fragmentWithString(text);
    if (!value) return std::nullopt;
    if (!value->isContainer()) {
        addErrorWithCodeDescription(kJsonErrorFragment, kTextFragmentNotJson);
        return std::nullopt;
    }
    return value;
}

std::optional<JsonValue> ZelJsonParser::fragmentWithString(std::optional<std::string_view> text) {
    startRun();
    m_elements.clear();
    m_members.clear();
    if (!text) {
        addErrorWithCodeDescription(kJsonErrorInput, kTextInputNil);
        return std::nullopt;
    }
    m_pos = reinterpret_cast<const unsigned char*>(text->data());
    m_end = m_pos + text->size();
    m_arena = std::make_unique<JsonArena>(text->size());
    JsonValue value;
    bool read = scanValue(value);
    if (read) {
        skipWhitespace();
        if (m_pos != m_end) read = fail(kJsonErrorGarbage, kTextGarbage);
    }
    std::optional<JsonValue> result;
    if (read) result = takeRoot(value);
    // What is left on the stacks lived in the arena.
    m_elements.clear();
    m_members.clear();
    m_arena.reset();
    return result;
}

JsonValue ZelJsonParser::takeRoot(JsonValue& value) {
    if (JsonArray* elements = value.array()) {
        JsonArray root;
        root.takeOver(*elements);
        root.m_arena = m_arena.release();
        root.m_ownsArena = true;
        return JsonValue(std::move(root));
    }
    if (JsonObject* members = value.object()) {
        JsonObject root;
        root.takeOver(*members);
        root.m_arena = m_arena.release();
        root.m_ownsArena = true;
        return JsonValue(std::move(root));
    }
    return JsonValue(static_cast<const JsonValue&>(value));  // a copy of its own
}

// Indented text has long runs of blanks: those go eight bytes at a time.
const unsigned char* ZelJsonParser::skipWhitespaceRun(const unsigned char* p,
                                                      const unsigned char* end) {
    constexpr std::uint64_t kBlanks = 0x2020202020202020ull;
    while (p < end) {
        if (end - p >= 8) {
            std::uint64_t bytes;
            std::memcpy(&bytes, p, 8);
            const std::uint64_t other = bytes ^ kBlanks;
            if (other == 0) {
                p += 8;
                continue;
            }
            // Skip the blanks before the first other byte.
            const int bits = std::endian::native == std::endian::little ? std::countr_zero(other)
                                                                        : std::countl_zero(other);
            p += bits / 8;
        }
        if (!isWhitespace(*p)) break;
        ++p;
    }
    return p;
}

bool ZelJsonParser::scanValue(JsonValue& out) {
    skipWhitespace();
    if (m_pos == m_end) {
        return fail(kJsonErrorEndOfInput, kTextUnexpectedEndOfString);
    }
    switch (*m_pos) {
        case '"': {
            ++m_pos;
            std::string_view text;
            if (!scanRestOfString(text)) return false;
            out = JsonValue(JsonValue::Kind::String, m_arena->makeString(text, m_stringPlain));
            return true;
        }
        case '{': {
            ++m_pos;
            // The container is filled where it lies in the arena: `out` may
            // be a place on a stack that moves while it is read.
            JsonObject* const members = m_arena->make<JsonObject>();
            members->m_arena = m_arena.get();
            out = JsonValue(JsonValue::Kind::Object, members);
            return scanRestOfObject(*members);
        }
        case '[': {
            ++m_pos;
            JsonArray* const elements = m_arena->make<JsonArray>();
            elements->m_arena = m_arena.get();
            out = JsonValue(JsonValue::Kind::Array, elements);
            return scanRestOfArray(*elements);
        }
        case 't':
        case 'f':
        case 'n':
            return scanLiteral(out);
        case '-':
        case '0':
        case '1':
        case '2':
        case '3':
        case '4':
        case '5':
        case '6':
        case '7':
        case '8':
        case '9':
            return scanNumber(out);
        case '+':
            return fail(kJsonErrorNumber, kTextLeadingPlus);
        default:
            return fail(kJsonErrorParse, kTextUnrecognisedLeadingCharacter);
    }
}

bool ZelJsonParser::scanLiteral(JsonValue& out) {
    switch (*m_pos++) {
        case 't':
            if (!scanLiteralRest("rue")) return fail(kJsonErrorParse, kTextExpectedTrue);
            out = true;
            return true;
        case 'f':
            if (!scanLiteralRest("alse")) return fail(kJsonErrorParse, kTextExpectedFalse);
            out = false;
            return true;
        default:
            if (!scanLiteralRest("ull")) return fail(kJsonErrorParse, kTextExpectedNull);
            out = nullptr;
            return true;
    }
}

void ZelJsonParser::finishArray(JsonArray& out, std::size_t base) {
    const std::size_t count = m_elements.size() - base;
    JsonValue* const elements = m_arena->allocateArray<JsonValue>(count);
    for (std::size_t i = 0; i < count; ++i) {
        new (&elements[i]) JsonValue(std::move(m_elements[base + i]));
    }
    out.m_data = elements;
    out.m_size = out.m_capacity = static_cast<std::uint32_t>(count);
    m_elements.resize(base);
}

void ZelJsonParser::finishObject(JsonObject& out, std::size_t base) {
    const std::size_t count = m_members.size() - base;
    JsonObject::Member* const members = m_arena->allocateArray<JsonObject::Member>(count);
    for (std::size_t i = 0; i < count; ++i) {
        new (&members[i]) JsonObject::Member(std::move(m_members[base + i]));
    }
    out.m_members = members;
    out.m_size = out.m_capacity = static_cast<std::uint32_t>(count);
    m_members.resize(base);
    out.foldDuplicateKeys();
}

JsonValue& ZelJsonParser::newElement() {
    return m_elements.emplace_back();
}

std::size_t ZelJsonParser::newMember() {
    m_members.emplace_back();
    return m_members.size() - 1;
}

bool ZelJsonParser::scanLiteralRest(std::string_view rest) {
    if (static_cast<std::size_t>(m_end - m_pos) < rest.size() ||
        std::memcmp(m_pos, rest.data(), rest.size()) != 0) {
        return false;
    }
    m_pos += rest.size();
    return true;
}

bool ZelJsonParser::scanRestOfArray(JsonArray& out) {
    if (!enterLevel()) return false;
    const std::size_t base = m_elements.size();
    while (m_pos < m_end) {
        skipWhitespace();
        if (at(']')) {
            ++m_pos;
            leaveLevel();
            finishArray(out, base);
            return true;
        }
        if (!scanValue(newElement())) {
            return fail(kJsonErrorParse, kTextExpectedValueInArray);
        }
        skipWhitespace();
        if (at(',')) {
            ++m_pos;
            skipWhitespace();
            if (at(']')) {
                return fail(kJsonErrorTrailingComma, kTextTrailingCommaArray);
            }
        }
    }
    return fail(kJsonErrorEndOfInput, kTextEndInArray);
}

bool ZelJsonParser::scanRestOfObject(JsonObject& out) {
    if (!enterLevel()) return false;
    const std::size_t base = m_members.size();
    while (m_pos < m_end) {
        skipWhitespace();
        if (at('}')) {
            ++m_pos;
            leaveLevel();
            finishObject(out, base);
            return true;
        }
        if (!at('"')) {
            return fail(kJsonErrorParse, kTextObjectKeyExpected);
        }
        ++m_pos;
        // The member is read in its place on the stack, by index: reading a
        // container value pushes members of its own and may move the stack.
        const std::size_t member = newMember();
        std::string_view key;
        if (!scanRestOfString(key)) {
            return fail(kJsonErrorParse, kTextObjectKeyExpected);
        }
        m_members[member].first = m_arena->copyText(key, m_stringPlain);
        skipWhitespace();
        if (!at(':')) {
            return fail(kJsonErrorParse, kTextExpectedColon);
        }
        ++m_pos;
        skipWhitespace();
        if (!scanValue(m_members[member].second)) {
            return fail(kJsonErrorParse, kTextObjectValueExpected, m_members[member].first);
        }
        skipWhitespace();
        if (at(',')) {
            ++m_pos;
            skipWhitespace();
            if (at('}')) {
                return fail(kJsonErrorTrailingComma, kTextTrailingCommaObject);
            }
        }
    }
    return fail(kJsonErrorEndOfInput, kTextEndInObject);
}

bool ZelJsonParser::scanRestOfString(std::string_view& out) {
    // Most strings have no escapes: they are a piece of the input as it is.
    const unsigned char* const start = m_pos;
    m_pos = utf8::skipPlainText(m_pos, m_end);
    if (m_pos == nullptr) {
        return fail(kJsonErrorEncoding, kTextInvalidUtf8);
    }
    if (m_pos < m_end && *m_pos == '"') {
        out = {reinterpret_cast<const char*>(start), static_cast<std::size_t>(m_pos - start)};
        ++m_pos;
        m_stringPlain = true;
        return true;
    }
    m_stringPlain = false;
    return scanEscapedRest(start, out);
}

bool ZelJsonParser::scanEscapedRest(const unsigned char* start, std::string_view& out) {
    m_scratch.assign(reinterpret_cast<const char*>(start), static_cast<std::size_t>(m_pos - start));
    for (;;) {
        // The end of input reads as the byte 0, as it did for C strings.
        const unsigned char c = m_pos < m_end ? *m_pos : 0;
        if (c == '"') {
            ++m_pos;
            out = m_scratch;
            return true;
        }
        if (c < 0x20) {
            return fail(kJsonErrorControlCharacter, kTextUnescapedControl, c);
        }
        ++m_pos;  // the backslash
        if (m_pos == m_end) {
            return fail(kJsonErrorEscape, kTextIllegalEscape, 0u);
        }
        const unsigned char escaped = *m_pos++;
        switch (escaped) {
            case '"':
            case '\\':
            case '/':
                m_scratch += static_cast<char>(escaped);
                break;
            case 'b':
                m_scratch += '\b';
                break;
            case 'f':
                m_scratch += '\f';
                break;
            case 'n':
                m_scratch += '\n';
                break;
            case 'r':
                m_scratch += '\r';
                break;
            case 't':
                m_scratch += '\t';
                break;
            case 'u': {
                std::uint32_t codePoint = 0;
                if (!scanUnicodeChar(codePoint)) {
                    return fail(kJsonErrorUnicode, kTextBrokenUnicode);
                }
                utf8::append(m_scratch, codePoint);
                break;
            }
            default:
                return fail(kJsonErrorEscape, kTextIllegalEscape, escaped);
        }
        if (m_pos >= m_end) {
            return fail(kJsonErrorEndOfInput, kTextEofInString);
        }
        // Copy the longest run that needs no decoding in one step.
        const unsigned char* run = m_pos;
        m_pos = utf8::skipPlainText(m_pos, m_end);
        if (m_pos == nullptr) {
            return fail(kJsonErrorEncoding, kTextInvalidUtf8);
        }
        m_scratch.append(reinterpret_cast<const char*>(run), static_cast<std::size_t>(m_pos - run));
    }
}

bool ZelJsonParser::scanUnicodeChar(std::uint32_t& codePoint) {
    std::uint32_t high = 0;
    if (!scanHexQuad(high)) {
        return fail(kJsonErrorUnicode, kTextMissingHexQuad);
    }
    if (high >= 0xDC00 && high <= 0xDFFF) {
        return fail(kJsonErrorUnicode, kTextInvalidHighSurrogate);
    }
    if (high < 0xD800 || high > 0xDBFF) {
        codePoint = high;
        return true;
    }
    std::uint32_t low = 0;
    bool haveLow = false;
    if (at('\\')) {
        ++m_pos;
        if (at('u')) {
            ++m_pos;
            haveLow = scanHexQuad(low);
        }
    }
    if (!haveLow) {
        return fail(kJsonErrorUnicode, kTextMissingLowSurrogate);
    }
    if (low < 0xDC00 || low > 0xDFFF) {
        return fail(kJsonErrorUnicode, kTextInvalidLowSurrogate);
    }
    codePoint = 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00);
    return true;
}

bool ZelJsonParser::scanHexQuad(std::uint32_t& value) {
    value = 0;
    for (int i = 0; i < 4; ++i) {
        const int digit = m_pos < m_end ? hexValue(*m_pos) : -1;
        if (digit < 0) {
            return fail(kJsonErrorUnicode, kTextMissingHexDigit);
        }
        ++m_pos;
        value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    return true;
}

bool ZelJsonParser::scanNumber(JsonValue& out) {
    const unsigned char* const start = m_pos;
    const bool negative = at('-');
    if (negative) ++m_pos;
    // The digits gather in `coefficient` as they are checked; up to 19 of
    // them cannot overflow it. Longer numbers are read again from the text.
    std::uint64_t coefficient = 0;
    int digits = 0;
    std::int64_t exponent = 0;
    auto takeDigits = [&] {
        const unsigned char* const first = m_pos;
        while (m_pos < m_end && isDigit(*m_pos)) {
            coefficient = coefficient * 10 + static_cast<unsigned>(*m_pos - '0');
            ++m_pos;
        }
        const auto count = static_cast<int>(m_pos - first);
        digits += count;
        return count;
    };
    if (at('0')) {
        ++m_pos;
        digits = 1;
        if (m_pos < m_end && isDigit(*m_pos)) {
            return fail(kJsonErrorNumber, kTextLeadingZero);
        }
    } else if (takeDigits() == 0) {
        return fail(kJsonErrorNumber, kTextNoDigitsAfterMinus);
    }
    if (at('.')) {
        ++m_pos;
        const int fraction = takeDigits();
        if (fraction == 0) {
            return fail(kJsonErrorNumber, kTextNoDigitsAfterPoint);
        }
        exponent -= fraction;
    }
    if (at('e') || at('E')) {
        ++m_pos;
        bool negativeExponent = false;
        if (at('+') || at('-')) negativeExponent = *m_pos++ == '-';
        if (m_pos == m_end || !isDigit(*m_pos)) {
            return fail(kJsonErrorNumber, kTextNoDigitsAfterExponent);
        }
        // Saturates: an exponent this large is out of range whatever the digits.
        std::int64_t written = 0;
        for (; m_pos < m_end && isDigit(*m_pos); ++m_pos) {
            if (written < 1'000'000'000) written = written * 10 + (*m_pos - '0');
        }
        exponent += negativeExponent ? -written : written;
    }
    constexpr int kDigitsInAWord = 19;
    const std::optional<JsonDecimal> number =
        digits <= kDigitsInAWord
            ? JsonDecimal::fromParts(negative, coefficient, exponent)
            : JsonDecimal::fromString(
                  {reinterpret_cast<const char*>(start), static_cast<std::size_t>(m_pos - start)});
    if (!number) {
        return fail(kJsonErrorNumber, kTextDecimalFailed);
    }
    out = JsonValue(JsonValue::Kind::Number, m_arena->make<JsonDecimal>(*number));
    return true;
}

}  // namespace qp
