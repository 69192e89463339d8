#include <gtest/gtest.h>

#include "SampleRecords.h"
#include "analytics/ReportCodec.h"
#include "platform/Crc32.h"

using namespace qp;

namespace {

const ReportHead kHead{"ABCDEFGHIJ0123456789", "qp1.0", 1357000000000, 1356000000000};

}  // namespace

TEST(SessionRecordCodec, RoundTripsEveryField) {
    SessionRecord record = sampleSessionRecord();
    const Result<SessionRecord> decoded = decodeSessionRecord(encodeSessionRecord(record));
    ASSERT_TRUE(decoded.ok()) << decoded.error().toString();
    EXPECT_EQ(*decoded, record);

    record.endMilliseconds.reset();
    record.crashed = true;
    record.networkAccess = NetworkAccess::Reached;
    record.events.clear();
    const Result<SessionRecord> open = decodeSessionRecord(encodeSessionRecord(record));
    ASSERT_TRUE(open.ok());
    EXPECT_EQ(*open, record);
}

TEST(SessionRecordCodec, LongStringsComeBackCutTo255) {
    SessionRecord record = sampleSessionRecord();
    const std::string s255(255, 'n');
    const std::string s256(256, 'n');
    record.events[0].name = s256;
    record.events[0].parameters = ParameterList{{s255, s256}};
    record.eventCounts[0].first = s256;
    const Result<SessionRecord> decoded = decodeSessionRecord(encodeSessionRecord(record));
    ASSERT_TRUE(decoded.ok());
    EXPECT_EQ(decoded->events[0].name, s255);
    EXPECT_EQ(decoded->eventCounts[0].first, s255);
    EXPECT_EQ((*decoded->events[0].parameters)[0], std::make_pair(s255, s255));
}

TEST(SessionRecordCodec, RejectsDamagedRecords) {
    const std::string good = encodeSessionRecord(sampleSessionRecord());
    for (std::size_t length = 0; length < good.size(); ++length) {
        EXPECT_FALSE(decodeSessionRecord(good.substr(0, length)).ok()) << "truncated to " << length;
    }
    EXPECT_FALSE(decodeSessionRecord(good + "x").ok());

    std::string otherVersion = good;
    otherVersion[0] = 2;
    const Result<SessionRecord> version = decodeSessionRecord(otherVersion);
    ASSERT_FALSE(version.ok());
    EXPECT_EQ(version.error().code(), 2);
}

TEST(SessionRecordCodec, RejectsCountsBeyondTheLimits) {
    SessionRecord record;
    record.events.resize(1);
    record.events[0].parameters = ParameterList(10, {"k", "v"});
    std::string bytes = encodeSessionRecord(record);
    ASSERT_TRUE(decodeSessionRecord(bytes).ok());
    // The parameter count is the byte right after the event's "has parameters" flag.
    const std::size_t countAt = bytes.size() - 10 * 6 - 1;
    ASSERT_EQ(bytes[countAt], 10);
    bytes[countAt] = 11;
    EXPECT_FALSE(decodeSessionRecord(bytes).ok());
}

TEST(ReportCodec, RoundTripsHeadAndSessions) {
    SessionRecord second = sampleSessionRecord("ffffffffffffffffffffffffffffffff");
    second.crashed = true;
    const std::string report = encodeReport(
        kHead, {encodeSessionRecord(sampleSessionRecord()), encodeSessionRecord(second)});

    const Result<DecodedReport> decoded = decodeReport(report);
    ASSERT_TRUE(decoded.ok()) << decoded.error().toString();
    EXPECT_EQ(decoded->head, kHead);
    ASSERT_EQ(decoded->sessions.size(), 2u);
    EXPECT_EQ(decoded->sessions[0], sampleSessionRecord());
    EXPECT_EQ(decoded->sessions[1], second);
}

TEST(ReportCodec, EndsWithTheCrcOfEverythingBefore) {
    const std::string report = encodeReport(kHead, {encodeSessionRecord(sampleSessionRecord())});
    ASSERT_GT(report.size(), 4u);
    const std::string body = report.substr(0, report.size() - 4);
    const std::uint32_t crc = Crc32::of(body);
    const std::string trailer{static_cast<char>(crc >> 24), static_cast<char>(crc >> 16),
                              static_cast<char>(crc >> 8), static_cast<char>(crc)};
    EXPECT_EQ(report.substr(body.size()), trailer);
    EXPECT_EQ(report[0], 1) << "the version byte comes first";
}

TEST(ReportCodec, RejectsDamagedReports) {
    const std::string good = encodeReport(kHead, {encodeSessionRecord(sampleSessionRecord())});
    for (std::size_t i = 0; i < good.size(); ++i) {
        std::string flipped = good;
        flipped[i] = static_cast<char>(flipped[i] ^ 0x01);
        const Result<DecodedReport> decoded = decodeReport(flipped);
        ASSERT_FALSE(decoded.ok()) << "byte " << i;
    }
    for (std::size_t length = 0; length < good.size(); ++length) {
        EXPECT_FALSE(decodeReport(good.substr(0, length)).ok()) << "truncated to " << length;
    }
}

TEST(ReportCodec, ACorrectCrcDoesNotExcuseABadBody) {
    // A record length that runs past the report, sealed with a valid checksum.
    std::string body;
    body += '\x01';
    body += std::string("\x00\x00", 2) + std::string("\x00\x00", 2);  // empty key and agent
    body += std::string(16, '\0');                                    // created, first use
    body += std::string("\x00\x01", 2);                               // one record
    body += std::string("\xFF\xFF\xFF\xFF", 4);                       // of 4 GiB
    const std::uint32_t crc = Crc32::of(body);
    body += std::string{static_cast<char>(crc >> 24), static_cast<char>(crc >> 16),
                        static_cast<char>(crc >> 8), static_cast<char>(crc)};
    const Result<DecodedReport> decoded = decodeReport(body);
    ASSERT_FALSE(decoded.ok());
    EXPECT_EQ(decoded.error().code(), 1);
}
