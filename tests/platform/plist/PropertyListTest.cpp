#include <gtest/gtest.h>

#include <plist/plist.h>
#include <cmath>
#include <filesystem>
#include <limits>

#include "platform/Paths.h"
#include "platform/plist/PropertyList.h"
#include "support/TempFolder.h"

namespace qp {
namespace {

using std::chrono::microseconds;
using std::chrono::seconds;

PlistDate unixSeconds(std::int64_t s) {
    return PlistDate(seconds(s));
}
PlistDate unixMicros(std::int64_t us) {
    return PlistDate(microseconds(us));
}

constexpr std::int64_t kReferenceUnix = 978307200;  // 2001-01-01T00:00:00Z

PlistValue roundTrip(const PlistValue& value, PlistFormat format) {
    Result<std::string> bytes = serializePropertyList(value, format);
    EXPECT_TRUE(bytes.ok()) << (bytes ? "" : bytes.error().toString());
    if (!bytes) return {};
    Result<PlistValue> back = parsePropertyList(bytes.value());
    EXPECT_TRUE(back.ok()) << (back ? "" : back.error().toString());
    return back ? back.value() : PlistValue();
}

class EveryFormat : public ::testing::TestWithParam<PlistFormat> {};

TEST_P(EveryFormat, EveryValueTypeRoundTrips) {
    const std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    const std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    const std::vector<PlistValue> values = {
        PlistValue(""),
        PlistValue("a<b>&\"c' é ✓"),
        PlistValue(std::int64_t{0}),
        PlistValue(-5),
        PlistValue(kMin),
        PlistValue(kMax),
        PlistValue(0.1),
        PlistValue(-3.25e-10),
        PlistValue(1e300),
        PlistValue(true),
        PlistValue(false),
        PlistValue(unixSeconds(1367409600)),
        PlistValue(PlistData{}),
        PlistValue(PlistData{0x00, 0xFF, 0x10, 0x00}),
        PlistValue(PlistArray{}),
        PlistValue(PlistDictionary{}),
    };
    for (const PlistValue& value : values) {
        // Wrapped in a container too: a lone scalar and a member take different paths.
        EXPECT_EQ(roundTrip(value, GetParam()), value);
        const PlistValue wrapped(PlistDictionary{{"k", value}});
        EXPECT_EQ(roundTrip(wrapped, GetParam()), wrapped);
    }
}

TEST_P(EveryFormat, NestedContainersRoundTrip) {
    const PlistValue value(PlistDictionary{
        {"themes", PlistArray{PlistDictionary{{"name", "Sea"}, {"tags", PlistArray{1, 2.5}}},
                              PlistArray{PlistArray{}, PlistDictionary{{"", false}}}}},
        {"empty", PlistDictionary{}},
        {"when", unixSeconds(kReferenceUnix)},
    });
    EXPECT_EQ(roundTrip(value, GetParam()), value);
}

TEST_P(EveryFormat, WholeSecondDatesAreExactAcrossTheRange) {
    for (std::int64_t s : {kReferenceUnix, kReferenceUnix - 1, kReferenceUnix + 1, std::int64_t{0},
                           std::int64_t{1367409600}, std::int64_t{-1262304000 + 100000000},
                           std::int64_t{3124224000}}) {
        const PlistValue date(unixSeconds(s));
        EXPECT_EQ(roundTrip(date, GetParam()).dateValue(), unixSeconds(s)) << s;
    }
}

INSTANTIATE_TEST_SUITE_P(PropertyList, EveryFormat,
                         ::testing::Values(PlistFormat::Xml, PlistFormat::Binary));

TEST(PropertyList, BinaryDatesKeepMicroseconds) {
    const std::int64_t ref = kReferenceUnix * 1000000;
    // Values whose stored double falls just below the exact microsecond, dates
    // before the reference (negative offsets) and the moments around it.
    for (std::int64_t offset :
         {std::int64_t{123456789654321}, std::int64_t{1000001}, std::int64_t{1}, std::int64_t{-1},
          std::int64_t{-500000}, std::int64_t{-1000500000}, std::int64_t{-2500000},
          std::int64_t{999999}, std::int64_t{-999999}, std::int64_t{388888888123457}}) {
        const PlistDate date = unixMicros(ref + offset);
        EXPECT_EQ(roundTrip(PlistValue(date), PlistFormat::Binary).dateValue(), date) << offset;
    }
}

TEST(PropertyList, XmlDatesRoundDownToTheSecond) {
    // 1000.5 s before the reference writes as 1001 s before it, not 1000.
    const PlistDate before = unixMicros(kReferenceUnix * 1000000 - 1000500000);
    EXPECT_EQ(roundTrip(PlistValue(before), PlistFormat::Xml).dateValue(),
              unixSeconds(kReferenceUnix - 1001));
    const PlistDate after = unixMicros(1367409600LL * 1000000 + 999999);
    EXPECT_EQ(roundTrip(PlistValue(after), PlistFormat::Xml).dateValue(), unixSeconds(1367409600));
}

TEST(PropertyList, XmlDateTextIsUtcFromTheUnixEpoch) {
    Result<std::string> xml =
        serializePropertyList(PlistValue(unixSeconds(kReferenceUnix)), PlistFormat::Xml);
    ASSERT_TRUE(xml.ok());
    EXPECT_NE(xml->find("<date>2001-01-01T00:00:00Z</date>"), std::string::npos);

    Result<PlistValue> parsed = parsePropertyList(
        "<?xml version=\"1.0\"?><plist version=\"1.0\"><date>2013-05-01T12:00:00Z</date></plist>");
    ASSERT_TRUE(parsed.ok());
    EXPECT_EQ(parsed->dateValue(), unixSeconds(1367409600));
}

TEST(PropertyList, UnwritableValuesAreRefused) {
    const std::vector<PlistValue> refused = {
        PlistValue(unixSeconds(3124224000 + 150LL * 86400 * 365)),  // ~2219
        PlistValue(unixSeconds(-1262304000 - 86400LL * 365 * 50)),  // ~1880
        PlistValue(std::string("a\0b", 3)),
        PlistValue(PlistDictionary{{std::string("k\0", 2), 1}}),
        PlistValue(PlistArray{PlistValue(std::string(1, '\0'))}),
    };
    for (const PlistValue& value : refused) {
        for (PlistFormat format : {PlistFormat::Xml, PlistFormat::Binary}) {
            Result<std::string> bytes = serializePropertyList(value, format);
            ASSERT_FALSE(bytes.ok());
            EXPECT_EQ(bytes.error().domain(), kPropertyListErrorDomain);
            EXPECT_EQ(bytes.error().code(), 3);
            EXPECT_FALSE(checkPropertyListValue(value, format).ok());
        }
    }
}

TEST(PropertyList, OverlyDeepValuesAreRefusedNotOverflowed) {
    PlistValue deep(PlistArray{});
    for (int i = 0; i < 600; ++i) deep = PlistValue(PlistArray{deep});
    Result<std::string> bytes = serializePropertyList(deep, PlistFormat::Binary);
    ASSERT_FALSE(bytes.ok());
    EXPECT_EQ(bytes.error().code(), 3);
}

TEST(PropertyList, MalformedBytesAreErrorsNotCrashes) {
    const std::vector<std::string> inputs = {
        "",
        "garbage",
        "bplist00",
        "bplist00" + std::string(40, '\xff'),
        "bplist17" + std::string(40, '\0'),
        "<?xml version=\"1.0\"?><plist><dict><key>a</key><integer>1</integer>",
        std::string("\0\0\0\0", 4),
    };
    for (const std::string& input : inputs) {
        Result<PlistValue> parsed = parsePropertyList(input);
        ASSERT_FALSE(parsed.ok()) << input;
        EXPECT_EQ(parsed.error().domain(), kPropertyListErrorDomain);
        EXPECT_EQ(parsed.error().code(), 2);
    }
}

TEST(PropertyList, EveryTruncationOfABinaryFileIsAnError) {
    const PlistValue value(PlistDictionary{{"kLaunchesNumber", 3},
                                           {"list", PlistArray{"a", 2.5, unixSeconds(0)}},
                                           {"blob", PlistData{1, 2, 3}}});
    Result<std::string> bytes = serializePropertyList(value, PlistFormat::Binary);
    ASSERT_TRUE(bytes.ok());
    for (std::size_t cut = 0; cut < bytes->size(); ++cut) {
        EXPECT_FALSE(parsePropertyList(bytes->substr(0, cut)).ok()) << cut;
    }
}

TEST(PropertyList, KeyedArchiveReferencesReadAsDictionaries) {
    plist_t root = plist_new_array();
    plist_array_append_item(root, plist_new_uid(7));
    char* buffer = nullptr;
    std::uint32_t length = 0;
    plist_to_bin(root, &buffer, &length);
    const std::string bytes(buffer, length);
    plist_to_bin_free(buffer);
    plist_free(root);

    Result<PlistValue> parsed = parsePropertyList(bytes);
    ASSERT_TRUE(parsed.ok());
    ASSERT_EQ(parsed->arrayValue().size(), 1u);
    const PlistValue* uid = parsed->arrayValue()[0].find("CF$UID");
    ASSERT_NE(uid, nullptr);
    EXPECT_EQ(uid->integerValue(), 7);
}

TEST(PlistValue, TypedReadsConvertOrFallBack) {
    EXPECT_EQ(PlistValue(2.9).integerValue(), 2);
    EXPECT_EQ(PlistValue(-2.9).integerValue(), -2);
    EXPECT_EQ(PlistValue(std::nan("")).integerValue(-7), -7);
    EXPECT_EQ(PlistValue(1e300).integerValue(), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(PlistValue(-1e300).integerValue(), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(PlistValue(true).integerValue(), 1);
    EXPECT_EQ(PlistValue("12").integerValue(5), 5);
    EXPECT_DOUBLE_EQ(PlistValue(3).realValue(), 3.0);
    EXPECT_DOUBLE_EQ(PlistValue(false).realValue(9), 0.0);
    EXPECT_TRUE(PlistValue(-1).boolValue());
    EXPECT_FALSE(PlistValue(0.0).boolValue(true));
    EXPECT_TRUE(PlistValue("no").boolValue(true));
    EXPECT_EQ(PlistValue(4).stringValue("x"), "x");
    EXPECT_TRUE(PlistValue(4).dataValue().empty());
    EXPECT_TRUE(PlistValue("a").arrayValue().empty());
    EXPECT_EQ(PlistValue(PlistArray{1}).find("a"), nullptr);
    EXPECT_NE(PlistValue(1), PlistValue(1.0));
    EXPECT_NE(PlistValue(PlistArray{1}), PlistValue(PlistArray{1, 2}));
}

TEST(PlistValue, ChangingACopyLeavesTheOriginalAlone) {
    const PlistValue original(PlistDictionary{{"list", PlistArray{1}}});
    PlistValue copy = original;
    copy.mutableDictionary()["added"] = true;
    PlistValue list = *original.find("list");
    list.mutableArray().push_back(2);
    EXPECT_EQ(original.dictionaryValue().size(), 1u);
    EXPECT_EQ(original.find("list")->arrayValue().size(), 1u);
    EXPECT_EQ(list.arrayValue().size(), 2u);

    PlistValue scalar(5);
    scalar.mutableArray().push_back("x");
    EXPECT_TRUE(scalar.isArray());
}

class PropertyListFile : public ::testing::Test {
protected:
    TempFolder m_folder;
    std::filesystem::path m_dir = m_folder.path();
};

TEST_F(PropertyListFile, MissingDamagedAndUnwritableFilesHaveTheirCodes) {
    Result<PlistValue> missing = readPropertyListFile(m_dir / "none.plist");
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().code(), 1);

    ASSERT_TRUE(writeFileAtomically(m_dir / "bad.plist", "bplist00oops").ok());
    Result<PlistValue> damaged = readPropertyListFile(m_dir / "bad.plist");
    ASSERT_FALSE(damaged.ok());
    EXPECT_EQ(damaged.error().code(), 2);

    // A regular file where the folder should be.
    ASSERT_TRUE(writeFileAtomically(m_dir / "file", "x").ok());
    Result<void> written = writePropertyListFile(m_dir / "file" / "a.plist", PlistValue(1));
    ASSERT_FALSE(written.ok());
    EXPECT_EQ(written.error().code(), 4);
}

TEST_F(PropertyListFile, WrittenFilesReadBackInBothFormats) {
    const PlistValue value(PlistDictionary{{"n", 1}, {"s", "two"}});
    for (PlistFormat format : {PlistFormat::Xml, PlistFormat::Binary}) {
        const auto path = m_dir / "v.plist";
        ASSERT_TRUE(writePropertyListFile(path, value, format).ok());
        Result<PlistValue> back = readPropertyListFile(path);
        ASSERT_TRUE(back.ok());
        EXPECT_EQ(back.value(), value);
    }
    // Only the target is left: no temporary files beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_dir),
                            std::filesystem::directory_iterator()),
              1);
}

}  // namespace
}  // namespace qp

TEST(PropertyList, TextThatIsNotUtf8IsRefused) {
    // A binary list whose five-byte "ASCII" string runs into the bytes of the
    // next object: the file says text, the bytes are not.
    const std::string bytes(
        "bplist00\xa3\x01\x02\x03Qa"
        "Ub\xd1\x04\x05QkQv\x08\x0c\x0e\x10\x13\x15"
        "\x00\x00\x00\x00\x00\x00\x01\x01\x00\x00\x00\x00\x00\x00\x00\x06"
        "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x17",
        61);
    qp::Result<qp::PlistValue> parsed = qp::parsePropertyList(bytes);
    ASSERT_FALSE(parsed.ok());
    EXPECT_EQ(parsed.error().code(), 2);
}
