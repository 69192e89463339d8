#pragma once
// The JSON codec's error vocabulary: its domain, codes and the fixed texts of
// its error records. Texts with a placeholder ("%@", "%x") are filled by
// fillJsonErrorText().

#include <string>
#include <string_view>

namespace qp {

inline constexpr const char* kJsonErrorDomain = "org.lindqvar.JSON.ErrorDomain";

inline constexpr int kJsonErrorUnsupported = 1;
inline constexpr int kJsonErrorNumber = 2;
inline constexpr int kJsonErrorParse = 3;
inline constexpr int kJsonErrorFragment = 4;
inline constexpr int kJsonErrorControlCharacter = 5;
inline constexpr int kJsonErrorUnicode = 6;
inline constexpr int kJsonErrorDepth = 7;
inline constexpr int kJsonErrorEscape = 8;
inline constexpr int kJsonErrorTrailingComma = 9;
inline constexpr int kJsonErrorGarbage = 10;
inline constexpr int kJsonErrorEndOfInput = 11;
inline constexpr int kJsonErrorInput = 12;
// Our own addition: bytes that are not UTF-8 inside a string, read or written.
inline constexpr int kJsonErrorEncoding = 13;

// Writer, code 1.
inline constexpr const char* kTextSerialisationNotSupported =
    "JSON serialisation not supported for %@";
inline constexpr const char* kTextKeyMustBeString = "JSON object key must be string";
inline constexpr const char* kTextUnsupportedValueForKey = "Unsupported value for key %@ in object";
// Numbers, code 2.
inline constexpr const char* kTextLeadingPlus = "Leading + disallowed in number";
inline constexpr const char* kTextLeadingZero = "Leading 0 disallowed in number";
inline constexpr const char* kTextNoDigitsAfterMinus = "No digits after initial minus";
inline constexpr const char* kTextNoDigitsAfterPoint = "No digits after decimal point";
inline constexpr const char* kTextNoDigitsAfterExponent = "No digits after exponent";
inline constexpr const char* kTextDecimalFailed = "Failed creating decimal instance";
// Reader, code 3.
inline constexpr const char* kTextUnrecognisedLeadingCharacter = "Unrecognised leading character";
inline constexpr const char* kTextExpectedTrue = "Expected 'true'";
inline constexpr const char* kTextExpectedFalse = "Expected 'false'";
inline constexpr const char* kTextExpectedNull = "Expected 'null'";
inline constexpr const char* kTextExpectedValueInArray = "Expected value while parsing array";
inline constexpr const char* kTextObjectKeyExpected = "Object key string expected";
inline constexpr const char* kTextExpectedColon = "Expected ':' separating key and value";
inline constexpr const char* kTextObjectValueExpected = "Object value expected for key: %@";
// Top-level type, code 4.
inline constexpr const char* kTextFragmentNotJson = "Valid fragment, but not JSON";
inline constexpr const char* kTextNotValidType = "Not valid type for JSON";
// Strings, codes 5, 6 and 8.
inline constexpr const char* kTextUnescapedControl = "Unescaped control character '0x%x'";
inline constexpr const char* kTextBrokenUnicode = "Broken unicode character";
inline constexpr const char* kTextMissingHexQuad = "Missing hex quad";
inline constexpr const char* kTextMissingHexDigit = "Missing hex digit in quad";
inline constexpr const char* kTextInvalidHighSurrogate = "Invalid high character in surrogate pair";
inline constexpr const char* kTextMissingLowSurrogate = "Missing low character in surrogate pair";
inline constexpr const char* kTextInvalidLowSurrogate = "Invalid low surrogate char";
inline constexpr const char* kTextIllegalEscape = "Illegal escape sequence '0x%x'";
// Depth, code 7.
inline constexpr const char* kTextNestedTooDeep = "Nested too deep";
// Trailing commas, code 9.
inline constexpr const char* kTextTrailingCommaArray = "Trailing comma disallowed in array";
inline constexpr const char* kTextTrailingCommaObject = "Trailing comma disallowed in object";
// Code 10.
inline constexpr const char* kTextGarbage = "Garbage after JSON";
// End of input, code 11.
inline constexpr const char* kTextUnexpectedEndOfString = "Unexpected end of string";
inline constexpr const char* kTextEndInArray = "End of input while parsing array";
inline constexpr const char* kTextEndInObject = "End of input while parsing object";
inline constexpr const char* kTextEofInString = "Unexpected EOF while parsing string";
// Code 12.
inline constexpr const char* kTextInputNil = "Input was 'nil'";
// Code 13.
inline constexpr const char* kTextInvalidUtf8 = "Invalid UTF-8 in string";

// Replaces the first "%@" in `text` with `argument`.
std::string fillJsonErrorText(std::string_view text, std::string_view argument);
// Replaces the first "%x" in `text` with `value` in lower-case hexadecimal.
std::string fillJsonErrorText(std::string_view text, unsigned value);

}  // namespace qp
