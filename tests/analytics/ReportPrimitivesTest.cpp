#include <gtest/gtest.h>

#include <string>

#include "analytics/ReportReader.h"
#include "analytics/ReportWriter.h"
#include "platform/Crc32.h"
#include "platform/TextEncoding.h"

using namespace qp;

namespace {

std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (const int v : values) out.push_back(static_cast<char>(v));
    return out;
}

// Text of `count` copies of `unit`.
std::string repeat(const std::string& unit, int count) {
    std::string out;
    for (int i = 0; i < count; ++i) out += unit;
    return out;
}

const std::string kEmoji = "\xF0\x9F\x98\x80";  // U+1F600, a surrogate pair in UTF-16
const std::string kEAcute = "\xC3\xA9";         // U+00E9

}  // namespace

TEST(Crc32, KnownVectors) {
    EXPECT_EQ(Crc32::of("123456789"), 0xCBF43926u);
    EXPECT_EQ(Crc32::of(""), 0x00000000u);
    EXPECT_EQ(Crc32::of("a"), 0xE8B7BE43u);
    EXPECT_EQ(Crc32::of("The quick brown fox jumps over the lazy dog"), 0x414FA339u);
}

TEST(Crc32, IncrementalUpdatesMatchOneShot) {
    Crc32 crc;
    crc.update("1234");
    crc.update("");
    crc.update("56789");
    EXPECT_EQ(crc.value(), 0xCBF43926u);
}

TEST(ReportWriter, NumbersAreBigEndian) {
    ReportWriter out;
    out.writeBoolean(true);
    out.writeByte(0xAB);
    out.writeUnsignedShort(0x0102);
    out.writeInteger(-2);
    out.writeFloat(1.0f);
    out.writeLong(0x0102030405060708);
    out.writeDouble(-2.0);
    EXPECT_EQ(out.bytes(), bytes({1, 0xAB, 1, 2, 0xFF, 0xFF, 0xFF, 0xFE, 0x3F, 0x80, 0, 0, 1, 2,
                                  3, 4,    5, 6, 7,    8,    0xC0, 0,    0,    0,    0, 0, 0, 0}));
}

TEST(ReportWriter, TimestampsAreTruncatedMilliseconds) {
    using namespace std::chrono;
    struct Case {
        Clock::WallTime time;
        std::int64_t expected;
    };
    const Case cases[] = {
        {Clock::WallTime(microseconds(1999)), 1},
        {Clock::WallTime(milliseconds(1356998400123)), 1356998400123},
        {Clock::WallTime(microseconds(-1500)), -1},  // toward zero before 1970
    };
    for (const Case& c : cases) {
        ReportWriter out;
        out.writeTimestamp(c.time);
        ReportReader in(out.bytes());
        EXPECT_EQ(in.readTimestamp(), c.expected);
        EXPECT_TRUE(in.atEnd());
    }
}

TEST(ReportWriter, IntervalIsZeroWhenATimeIsAbsent) {
    using namespace std::chrono;
    const Clock::WallTime a(milliseconds(1000));
    const Clock::WallTime b(microseconds(3500700));
    EXPECT_EQ(intervalMilliseconds(a, b), 2500);
    EXPECT_EQ(intervalMilliseconds(b, a), -2500);
    EXPECT_EQ(intervalMilliseconds(std::nullopt, b), 0);
    EXPECT_EQ(intervalMilliseconds(a, std::nullopt), 0);
}

TEST(ReportWriter, StringsAreCutAt255Utf16Units) {
    struct Case {
        const char* what;
        std::string input;
        std::string expected;
    };
    const Case cases[] = {
        {"empty", "", ""},
        {"255 ASCII kept", repeat("a", 255), repeat("a", 255)},
        {"256 ASCII cut to 255", repeat("a", 256), repeat("a", 255)},
        {"two-byte characters count once", repeat(kEAcute, 300), repeat(kEAcute, 255)},
        {"a pair straddling the cut is dropped whole", repeat("a", 254) + kEmoji, repeat("a", 254)},
        {"a pair ending on the cut stays", repeat("a", 253) + kEmoji + "b",
         repeat("a", 253) + kEmoji},
        {"ill-formed bytes become U+FFFD",
         "a\xFF"
         "b",
         "a\xEF\xBF\xBD"
         "b"},
        {"a NUL becomes U+FFFD: the service refuses NULs", std::string("a\0b", 3),
         "a\xEF\xBF\xBD"
         "b"},
    };
    for (const Case& c : cases) {
        ReportWriter out;
        out.writeString(c.input);
        const std::string& written = out.bytes();
        ASSERT_GE(written.size(), 2u) << c.what;
        const std::size_t length =
            (static_cast<std::uint8_t>(written[0]) << 8) | static_cast<std::uint8_t>(written[1]);
        EXPECT_EQ(length, c.expected.size()) << c.what;
        EXPECT_EQ(written.substr(2), c.expected) << c.what;
    }
}

TEST(ReportWriter, DataCountsAlwaysMatchTheBytesThatFollow) {
    ReportWriter out;
    out.writeShortData(std::string(70000, 'x'));
    out.writeTinyData(std::string(300, 'y'));
    out.writeTinyData("");
    ReportReader in(out.bytes());
    EXPECT_EQ(in.readShortData(), std::string(65535, 'x'));
    EXPECT_EQ(in.readTinyData(), std::string(255, 'y'));
    EXPECT_EQ(in.readTinyData(), std::string());
    EXPECT_TRUE(in.atEnd());
}

TEST(ReportReader, ReadsBackEveryPrimitive) {
    ReportWriter out;
    out.writeBoolean(false);
    out.writeUnsignedShort(65535);
    out.writeInteger(-123456);
    out.writeUnsignedInteger(0xDEADBEEF);
    out.writeFloat(-0.5f);
    out.writeLong(-9);
    out.writeDouble(3.25);
    out.writeString(kEmoji + "x");
    ReportReader in(out.bytes());
    EXPECT_EQ(in.readBoolean(), false);
    EXPECT_EQ(in.readUnsignedShort(), 65535);
    EXPECT_EQ(in.readInteger(), -123456);
    EXPECT_EQ(in.readUnsignedInteger(), 0xDEADBEEFu);
    EXPECT_EQ(in.readFloat(), -0.5f);
    EXPECT_EQ(in.readLong(), -9);
    EXPECT_EQ(in.readDouble(), 3.25);
    EXPECT_EQ(in.readString(), kEmoji + "x");
    EXPECT_TRUE(in.atEnd());
}

TEST(ReportReader, RejectsWhatTheWriterNeverWrites) {
    struct Case {
        const char* what;
        std::string input;
    };
    const Case cases[] = {
        {"length past the end", bytes({0, 5, 'a', 'b'})},
        {"half a length", bytes({0})},
        {"ill-formed UTF-8", bytes({0, 2, 0xC0, 0x80})},
        {"a lone surrogate", bytes({0, 3, 0xED, 0xA0, 0x80})},
        {"256 units", bytes({1, 0}) + repeat("a", 256)},
    };
    for (const Case& c : cases) {
        ReportReader in(c.input);
        EXPECT_FALSE(in.readString()) << c.what;
        EXPECT_TRUE(in.failed()) << c.what;
        EXPECT_FALSE(in.readByte()) << c.what << ": a failed reader stays failed";
    }
    // The reader only views its bytes; they must outlive it.
    const std::string two = bytes({2});
    ReportReader flag(two);
    EXPECT_FALSE(flag.readBoolean());
    const std::string seven = bytes({1, 2, 3, 4, 5, 6, 7});
    ReportReader shortLong(seven);
    EXPECT_FALSE(shortLong.readLong());
}

TEST(ReportText, CountsUtf16Units) {
    EXPECT_EQ(utf16Length(""), 0u);
    EXPECT_EQ(utf16Length("abc"), 3u);
    EXPECT_EQ(utf16Length(kEAcute + "\xE2\x82\xAC"), 2u);  // é €
    EXPECT_EQ(utf16Length(kEmoji), 2u);
    EXPECT_EQ(cutToUtf16Units(kEmoji, 1), "");
    EXPECT_EQ(cutToUtf16Units(kEmoji, 2), kEmoji);
}
