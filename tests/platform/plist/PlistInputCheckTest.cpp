#include <gtest/gtest.h>

#include <plist/plist.h>

#include "platform/plist/PlistInputCheck.h"
#include "platform/plist/PropertyList.h"

namespace qp {
namespace {

void appendBigEndian(std::string& bytes, std::size_t value, int width) {
    for (int shift = (width - 1) * 8; shift >= 0; shift -= 8) {
        bytes.push_back(static_cast<char>((value >> shift) & 0xFF));
    }
}

// An array object referring to `refs`, references `width` bytes wide.
std::string arrayObject(const std::vector<std::size_t>& refs, int width = 1) {
    std::string object(1, static_cast<char>(0xA0 | refs.size()));
    for (std::size_t ref : refs) appendBigEndian(object, ref, width);
    return object;
}

// A binary property list from hand-placed objects, laid out in order after
// the header, offsets and references `width` bytes wide.
std::string binaryPlist(const std::vector<std::string>& objects, std::size_t top = 0,
                        int width = 1) {
    std::string bytes = "bplist00";
    std::string offsets;
    for (const std::string& object : objects) {
        appendBigEndian(offsets, bytes.size(), width);
        bytes += object;
    }
    const std::size_t tableAt = bytes.size();
    bytes += offsets;
    bytes += std::string(6, '\0');
    bytes.push_back(static_cast<char>(width));  // offset width
    bytes.push_back(static_cast<char>(width));  // reference width
    appendBigEndian(bytes, objects.size(), 8);
    appendBigEndian(bytes, top, 8);
    appendBigEndian(bytes, tableAt, 8);
    return bytes;
}

std::string toBinary(plist_t root) {
    char* buffer = nullptr;
    std::uint32_t length = 0;
    plist_to_bin(root, &buffer, &length);
    std::string bytes(buffer, length);
    plist_to_bin_free(buffer);
    plist_free(root);
    return bytes;
}

std::string nestedXml(int depth) {
    std::string xml = "<?xml version=\"1.0\"?><plist version=\"1.0\">";
    for (int i = 0; i < depth; ++i) xml += i % 2 ? "<dict><key>k</key>" : "<array>";
    xml += "<integer>1</integer>";
    for (int i = depth - 1; i >= 0; --i) xml += i % 2 ? "</dict>" : "</array>";
    return xml + "</plist>";
}

TEST(PlistInputCheck, HandBuiltBinaryIsAcceptedAsAControl) {
    // [ 1, [] ] and { "ab": 1 } with a UTF-16 key
    Result<PlistValue> parsed =
        parsePropertyList(binaryPlist({arrayObject({1, 2}), "\x10\x01", arrayObject({})}));
    ASSERT_TRUE(parsed.ok()) << parsed.error().toString();
    EXPECT_EQ(parsed.value(), PlistValue(PlistArray{1, PlistArray{}}));
    parsed = parsePropertyList(
        binaryPlist({"\xD1\x01\x02", std::string("\x62\x00\x61\x00\x62", 5), "\x10\x01"}));
    ASSERT_TRUE(parsed.ok()) << parsed.error().toString();
    EXPECT_EQ(parsed.value(), PlistValue(PlistDictionary{{"ab", 1}}));
}

TEST(PlistInputCheck, HostileBinaryStructuresAreRefused) {
    struct Case {
        const char* name;
        std::string bytes;
    };
    std::string tableOutside = binaryPlist({"\x10\x01"});
    tableOutside[tableOutside.size() - 1] = '\x7f';
    std::string noObjects = binaryPlist({"\x10\x01"});
    noObjects[noObjects.size() - 17] = 0;
    std::string zeroWidth = binaryPlist({"\x10\x01"});
    zeroWidth[zeroWidth.size() - 26] = 0;
    const std::vector<Case> cases = {
        {"array holding itself", binaryPlist({arrayObject({0})})},
        {"two arrays holding each other", binaryPlist({arrayObject({1}), arrayObject({0})})},
        {"reference past the last object", binaryPlist({arrayObject({5})})},
        {"count longer than the file", binaryPlist({std::string("\xAF\x12\x00\x00\x00\xFF", 6)})},
        {"date cut short", binaryPlist({"\x33\x00\x00"})},
        {"offset table outside the file", tableOutside},
        {"no objects", noObjects},
        {"zero offset width", zeroWidth},
        {"top object out of range", binaryPlist({"\x10\x01"}, 3)},
        // The parser aborts the process on a key holding a NUL.
        {"NUL inside an ASCII key",
         binaryPlist({"\xD1\x01\x02", std::string("\x52\x61\x00", 3), "\x10\x01"})},
        {"NUL inside a UTF-16 key",
         binaryPlist({"\xD1\x01\x02", std::string("\x62\x00\x61\x00\x00", 5), "\x10\x01"})},
    };
    for (const Case& c : cases) {
        Result<PlistValue> parsed = parsePropertyList(c.bytes);
        ASSERT_FALSE(parsed.ok()) << c.name;
        EXPECT_EQ(parsed.error().code(), 2) << c.name;
    }
}

TEST(PlistInputCheck, SharedObjectsThatExpandExponentiallyAreRefused) {
    // Each array refers twice to the next: 40 levels expand to 2^40 values.
    std::vector<std::string> objects;
    for (std::size_t i = 0; i < 40; ++i) objects.push_back(arrayObject({i + 1, i + 1}));
    objects.push_back("\x10\x01");
    std::string reason;
    EXPECT_FALSE(checkBinaryPlist(binaryPlist(objects), reason).has_value());
    EXPECT_NE(reason.find("expands"), std::string::npos);

    // A few shared levels are fine and read as copies.
    const std::vector<std::string> small = {arrayObject({1, 1}), arrayObject({2, 2}),
                                            arrayObject({3, 3}), "\x10\x01"};
    Result<PlistValue> parsed = parsePropertyList(binaryPlist(small));
    ASSERT_TRUE(parsed.ok()) << parsed.error().toString();
    EXPECT_EQ(parsed->arrayValue().size(), 2u);
}

TEST(PlistInputCheck, NestingLimitHoldsInBothFormats) {
    EXPECT_TRUE(parsePropertyList(nestedXml(100)).ok());
    EXPECT_TRUE(parsePropertyList(nestedXml(kMaxPlistNesting)).ok());
    Result<PlistValue> deepXml = parsePropertyList(nestedXml(kMaxPlistNesting + 1));
    ASSERT_FALSE(deepXml.ok());
    EXPECT_EQ(deepXml.error().code(), 2);
    // Far past the parser's own stack: must be refused before it recurses.
    EXPECT_FALSE(parsePropertyList(nestedXml(400000)).ok());

    auto nestedBinary = [](int depth) {
        plist_t root = plist_new_array();
        plist_t inner = root;
        for (int i = 1; i < depth; ++i) {
            plist_t next = plist_new_array();
            plist_array_append_item(inner, next);
            inner = next;
        }
        return toBinary(root);
    };
    EXPECT_TRUE(parsePropertyList(nestedBinary(kMaxPlistNesting)).ok());
    EXPECT_FALSE(parsePropertyList(nestedBinary(kMaxPlistNesting + 1)).ok());
}

TEST(PlistInputCheck, SharedSubtreeCountsAtEveryDepthItAppears) {
    // Objects 1 to 511 are a chain of 511 arrays. The top array holds the
    // chain directly and again one level down (object 512), which nests 513
    // deep once copied out, though each path alone was walked within the limit.
    std::vector<std::string> objects = {arrayObject({1, 512}, 2)};
    for (std::size_t i = 1; i < 511; ++i) objects.push_back(arrayObject({i + 1}, 2));
    objects.push_back(arrayObject({}, 2));
    objects.push_back(arrayObject({1}, 2));
    const std::string bytes = binaryPlist(objects, 0, 2);

    std::string reason;
    EXPECT_FALSE(checkBinaryPlist(bytes, reason).has_value());
    EXPECT_NE(reason.find("deeply"), std::string::npos) << reason;
}

TEST(PlistInputCheck, XmlContainerTagsAreCountedNotLookalikes) {
    // <arrays> and <dictionary> are not containers; <array/> opens nothing.
    std::string xml = "<plist><array>";
    for (int i = 0; i < kMaxPlistNesting + 10; ++i) xml += "<array/><arrays><dictionary>";
    xml += "</array></plist>";
    std::string reason;
    EXPECT_TRUE(checkXmlPlistNesting(xml, reason)) << reason;
}

}  // namespace
}  // namespace qp
