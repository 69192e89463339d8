#include "json/ZelJsonParser.h"

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
    std::optional<JsonValue> value(std::in_place);
    if (!scanValue(*value)) return std::nullopt;
    skipWhitespace();
    if (m_pos != m_end) {
        addErrorWithCodeDescription(kJsonErrorGarbage, kTextGarbage);
        return std::nullopt;
    }
    return value;
}

void ZelJsonParser::skipWhitespace() {
    while (m_pos < m_end && isWhitespace(*m_pos)) ++m_pos;
}

bool ZelJsonParser::scanValue(JsonValue& out) {
    skipWhitespace();
    if (m_pos == m_end) {
        addErrorWithCodeDescription(kJsonErrorEndOfInput, kTextUnexpectedEndOfString);
        return false;
    }
    switch (*m_pos) {
        case '"':
            ++m_pos;
            return scanRestOfString(out.emplaceString());
        case '{':
            ++m_pos;
            return scanRestOfObject(out.emplaceObject());
        case '[':
            ++m_pos;
            return scanRestOfArray(out.emplaceArray());
        case 't':
            ++m_pos;
            if (!scanLiteralRest("rue")) {
                addErrorWithCodeDescription(kJsonErrorParse, kTextExpectedTrue);
                return false;
            }
            out = true;
            return true;
        case 'f':
            ++m_pos;
            if (!scanLiteralRest("alse")) {
                addErrorWithCodeDescription(kJsonErrorParse, kTextExpectedFalse);
                return false;
            }
            out = false;
            return true;
        case 'n':
            ++m_pos;
            if (!scanLiteralRest("ull")) {
                addErrorWithCodeDescription(kJsonErrorParse, kTextExpectedNull);
                return false;
            }
            out = nullptr;
            return true;
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
            addErrorWithCodeDescription(kJsonErrorNumber, kTextLeadingPlus);
            return false;
        default:
            addErrorWithCodeDescription(kJsonErrorParse, kTextUnrecognisedLeadingCharacter);
            return false;
    }
}

bool ZelJsonParser::scanLiteralRest(std::string_view rest) {
    if (static_cast<std::size_t>(m_end - m_pos) < rest.size() ||
        std::memcmp(m_pos, rest.data(), rest.size()) != 0) {
        return false;
    }
    m_pos += rest.size();
    return true;
}

bool ZelJsonParser::scanRestOfArray(JsonValue::Array& out) {
    if (!enterLevel()) return false;
    const std::size_t base = m_elements.size();
    while (m_pos < m_end) {
        skipWhitespace();
        if (at(']')) {
            ++m_pos;
            leaveLevel();
            const auto first = m_elements.begin() + static_cast<std::ptrdiff_t>(base);
            out.assign(std::make_move_iterator(first), std::make_move_iterator(m_elements.end()));
            m_elements.erase(first, m_elements.end());
            return true;
        }
        JsonValue element;
        if (!scanValue(element)) {
            addErrorWithCodeDescription(kJsonErrorParse, kTextExpectedValueInArray);
            return false;
        }
        m_elements.push_back(std::move(element));
        skipWhitespace();
        if (at(',')) {
            ++m_pos;
            skipWhitespace();
            if (at(']')) {
                addErrorWithCodeDescription(kJsonErrorTrailingComma, kTextTrailingCommaArray);
                return false;
            }
        }
    }
    addErrorWithCodeDescription(kJsonErrorEndOfInput, kTextEndInArray);
    return false;
}

bool ZelJsonParser::scanRestOfObject(JsonObject& out) {
    if (!enterLevel()) return false;
    const std::size_t base = m_members.size();
    while (m_pos < m_end) {
        skipWhitespace();
        if (at('}')) {
            ++m_pos;
            leaveLevel();
            const auto first = m_members.begin() + static_cast<std::ptrdiff_t>(base);
            out.assign(std::make_move_iterator(first), std::make_move_iterator(m_members.end()));
            m_members.erase(first, m_members.end());
            return true;
        }
        std::string key;
        if (!at('"')) {
            addErrorWithCodeDescription(kJsonErrorParse, kTextObjectKeyExpected);
            return false;
        }
        ++m_pos;
        if (!scanRestOfString(key)) {
            addErrorWithCodeDescription(kJsonErrorParse, kTextObjectKeyExpected);
            return false;
        }
        skipWhitespace();
        if (!at(':')) {
            addErrorWithCodeDescription(kJsonErrorParse, kTextExpectedColon);
            return false;
        }
        ++m_pos;
        JsonValue value;
        if (!scanValue(value)) {
            addErrorWithCodeDescription(kJsonErrorParse,
                                        fillJsonErrorText(kTextObjectValueExpected, key));
            return false;
        }
        m_members.emplace_back(std::move(key), std::move(value));
        skipWhitespace();
        if (at(',')) {
            ++m_pos;
            skipWhitespace();
            if (at('}')) {
                addErrorWithCodeDescription(kJsonErrorTrailingComma, kTextTrailingCommaObject);
                return false;
            }
        }
    }
    addErrorWithCodeDescription(kJsonErrorEndOfInput, kTextEndInObject);
    return false;
}

bool ZelJsonParser::scanRestOfString(std::string& out) {
    for (;;) {
        // Copy the longest run that needs no decoding in one step.
        const unsigned char* run = m_pos;
        for (;;) {
            m_pos = utf8::skipPlainAscii(m_pos, m_end);
            if (m_pos == m_end || *m_pos < 0x80) break;
            const std::size_t length = utf8::sequenceLength(m_pos, m_end);
            if (length == 0) {
                addErrorWithCodeDescription(kJsonErrorEncoding, kTextInvalidUtf8);
                return false;
            }
            m_pos += length;
        }
        out.append(reinterpret_cast<const char*>(run), static_cast<std::size_t>(m_pos - run));

        // The end of input reads as the byte 0, as it did for C strings.
        const unsigned char c = m_pos < m_end ? *m_pos : 0;
        if (c == '"') {
            ++m_pos;
            return true;
        }
        if (c < 0x20) {
            addErrorWithCodeDescription(kJsonErrorControlCharacter,
                                        fillJsonErrorText(kTextUnescapedControl, c));
            return false;
        }
        ++m_pos;  // the backslash
        if (m_pos == m_end) {
            addErrorWithCodeDescription(kJsonErrorEscape,
                                        fillJsonErrorText(kTextIllegalEscape, 0u));
            return false;
        }
        const unsigned char escaped = *m_pos++;
        switch (escaped) {
            case '"':
            case '\\':
            case '/':
                out += static_cast<char>(escaped);
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'u': {
                std::uint32_t codePoint = 0;
                if (!scanUnicodeChar(codePoint)) {
                    addErrorWithCodeDescription(kJsonErrorUnicode, kTextBrokenUnicode);
                    return false;
                }
                utf8::append(out, codePoint);
                break;
            }
            default:
                addErrorWithCodeDescription(kJsonErrorEscape,
                                            fillJsonErrorText(kTextIllegalEscape, escaped));
                return false;
        }
        if (m_pos >= m_end) {
            addErrorWithCodeDescription(kJsonErrorEndOfInput, kTextEofInString);
            return false;
        }
    }
}

bool ZelJsonParser::scanUnicodeChar(std::uint32_t& codePoint) {
    std::uint32_t high = 0;
    if (!scanHexQuad(high)) {
        addErrorWithCodeDescription(kJsonErrorUnicode, kTextMissingHexQuad);
        return false;
    }
    if (high >= 0xDC00 && high <= 0xDFFF) {
        addErrorWithCodeDescription(kJsonErrorUnicode, kTextInvalidHighSurrogate);
        return false;
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
        addErrorWithCodeDescription(kJsonErrorUnicode, kTextMissingLowSurrogate);
        return false;
    }
    if (low < 0xDC00 || low > 0xDFFF) {
        addErrorWithCodeDescription(kJsonErrorUnicode, kTextInvalidLowSurrogate);
        return false;
    }
    codePoint = 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00);
    return true;
}

bool ZelJsonParser::scanHexQuad(std::uint32_t& value) {
    value = 0;
    for (int i = 0; i < 4; ++i) {
        const int digit = m_pos < m_end ? hexValue(*m_pos) : -1;
        if (digit < 0) {
            addErrorWithCodeDescription(kJsonErrorUnicode, kTextMissingHexDigit);
            return false;
        }
        ++m_pos;
        value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    return true;
}

bool ZelJsonParser::scanNumber(JsonValue& out) {
    const unsigned char* start = m_pos;
    if (at('-')) ++m_pos;
    if (at('0')) {
        ++m_pos;
        if (m_pos < m_end && isDigit(*m_pos)) {
            addErrorWithCodeDescription(kJsonErrorNumber, kTextLeadingZero);
            return false;
        }
    } else if (m_pos < m_end && isDigit(*m_pos)) {
        while (m_pos < m_end && isDigit(*m_pos)) ++m_pos;
    } else {
        addErrorWithCodeDescription(kJsonErrorNumber, kTextNoDigitsAfterMinus);
        return false;
    }
    if (at('.')) {
        ++m_pos;
        if (m_pos == m_end || !isDigit(*m_pos)) {
            addErrorWithCodeDescription(kJsonErrorNumber, kTextNoDigitsAfterPoint);
            return false;
        }
        while (m_pos < m_end && isDigit(*m_pos)) ++m_pos;
    }
    if (at('e') || at('E')) {
        ++m_pos;
        if (at('+') || at('-')) ++m_pos;
        if (m_pos == m_end || !isDigit(*m_pos)) {
            addErrorWithCodeDescription(kJsonErrorNumber, kTextNoDigitsAfterExponent);
            return false;
        }
        while (m_pos < m_end && isDigit(*m_pos)) ++m_pos;
    }
    std::optional<JsonDecimal> number = JsonDecimal::fromString(
        {reinterpret_cast<const char*>(start), static_cast<std::size_t>(m_pos - start)});
    if (!number) {
        addErrorWithCodeDescription(kJsonErrorNumber, kTextDecimalFailed);
        return false;
    }
    out = *number;
    return true;
}

}  // namespace qp
