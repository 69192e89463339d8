// Posted bodies: what is refused with which reason, and how the sessions of
// one report are made ready for the store.

#include <gtest/gtest.h>

#include <random>

#include "service/ReportIngest.h"
#include "service/ServiceErrors.h"
#include "service/ServiceSamples.h"

using namespace qp;
using namespace qp::test;

namespace {

struct BadBody {
    const char* what;
    std::string body;
    ServiceErrorCode code;
    const char* reasonSays;
};

std::string randomBytes(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(random() & 0xff);
    return bytes;
}

}  // namespace

TEST(ReportIngest, RefusesBadBodiesWithAOneLineReason) {
    const std::string good = reportBytes({session("a", 2)});
    std::string wrongCrc = good;
    wrongCrc.back() = static_cast<char>(wrongCrc.back() ^ 1);
    std::string wrongVersion = good;
    wrongVersion[0] = 2;
    std::string flippedInside = good;
    flippedInside[good.size() / 2] = static_cast<char>(flippedInside[good.size() / 2] ^ 0x40);
    std::string oversized(kMaxReportBytes + 1, '\0');
    // The app's writer never sends a NUL, so a sender that does is made by hand:
    // a marker byte written in its place, swapped for a NUL afterwards.
    const std::string marked = "nul\x01here";
    const auto withNul = [&marked](std::string body) {
        for (std::size_t at = body.find(marked); at != std::string::npos;
             at = body.find(marked, at + 1)) {
            body[at + 3] = '\0';
        }
        return withFreshChecksum(std::move(body));
    };
    SessionRecord nulName = session("n", 2);
    nulName.events[1].name = marked;
    SessionRecord nulValue = session("n", 2);
    nulValue.events[0].parameters = ParameterList{{"k", marked}};
    const std::string nulKey = withNul(
        encodeReport({marked, "qp-0.1", kDecemberFirst, 0}, {encodeSessionRecord(session("a"))}));

    const std::vector<BadBody> cases = {
        {"empty", "", ServiceErrorCode::ReportRejected, "shorter than its checksum"},
        {"truncated", good.substr(0, good.size() - 7), ServiceErrorCode::ReportRejected,
         "checksum"},
        {"truncated, checksum made right", withFreshChecksum(good.substr(0, good.size() - 3)),
         ServiceErrorCode::ReportRejected, "runs past"},
        {"wrong CRC", wrongCrc, ServiceErrorCode::ReportRejected, "checksum"},
        {"one bit flipped", flippedInside, ServiceErrorCode::ReportRejected, "checksum"},
        {"wrong version", withFreshChecksum(wrongVersion), ServiceErrorCode::ReportRejected,
         "version 2"},
        {"random", randomBytes(300, 7), ServiceErrorCode::ReportRejected, ""},
        {"oversized", oversized, ServiceErrorCode::ReportTooLarge, "limit"},
        {"no session id", reportBytes({session("", 1)}), ServiceErrorCode::ReportRejected,
         "no session id"},
        {"NUL in an event name", withNul(reportBytes({session("a", 1), nulName})),
         ServiceErrorCode::ReportRejected, "NUL"},
        {"NUL in a parameter", withNul(reportBytes({nulValue})), ServiceErrorCode::ReportRejected,
         "NUL"},
        {"NUL in the API key", nulKey, ServiceErrorCode::ReportRejected, "NUL"},
    };
    for (const BadBody& bad : cases) {
        SCOPED_TRACE(bad.what);
        const Result<PreparedReport> result = prepareReport(bad.body);
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.error().domain(), kServiceErrorDomain);
        EXPECT_EQ(result.error().code(), static_cast<int>(bad.code));
        const std::string reason = result.error().description();
        EXPECT_NE(reason.find(bad.reasonSays), std::string::npos) << reason;
        EXPECT_FALSE(reason.empty());
        EXPECT_EQ(reason.find('\n'), std::string::npos);
    }
}

TEST(ReportIngest, ABodyAtTheLimitIsDecodedNotRefusedForItsSize) {
    std::string body = reportBytes({session("a")});
    body.resize(kMaxReportBytes, '\0');
    const Result<PreparedReport> result = prepareReport(body);
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().code(), static_cast<int>(ServiceErrorCode::ReportRejected));
}

TEST(ReportIngest, KeepsTheHeadAndEverySessionInOrder) {
    const Result<PreparedReport> report =
        prepareReport(reportBytes({session("b", 1), session("a", 3, kDecemberFirst + 5)}));
    ASSERT_TRUE(report.ok()) << report.error().toString();
    EXPECT_EQ(report->head.apiKey, "ABCDEFGHIJ0123456789");
    ASSERT_EQ(report->sessions.size(), 2u);
    EXPECT_EQ(report->sessions[0].record, session("b", 1));
    EXPECT_EQ(report->sessions[1].fullness, (SessionFullness{3, 3, kDecemberFirst + 5}));
}

TEST(ReportIngest, ASessionTwiceInOneReportKeepsItsFullerCopy) {
    for (const bool fullerFirst : {false, true}) {
        SCOPED_TRACE(fullerFirst);
        const SessionRecord thin = session("a", 1);
        const SessionRecord full = session("a", 2, kDecemberFirst + 9);
        const PreparedReport report = prepared(fullerFirst ? std::vector{full, session("b"), thin}
                                                           : std::vector{thin, session("b"), full});
        ASSERT_EQ(report.sessions.size(), 2u);
        EXPECT_EQ(report.sessions[0].record, full);
        EXPECT_EQ(report.sessions[1].record.sessionId, "b");
    }
}

TEST(SessionFullnessOrder, MoreEventsThenMoreCountsThenALaterEnd) {
    struct Case {
        SessionFullness candidate;
        SessionFullness stored;
        bool fuller;
    };
    const std::vector<Case> cases = {
        {{2, 2, std::nullopt}, {1, 1, std::nullopt}, true},
        {{1, 1, std::nullopt}, {2, 2, std::nullopt}, false},
        {{1, 1, std::nullopt}, {1, 1, std::nullopt}, false},  // a repeat
        {{1, 1, 50}, {1, 1, 50}, false},
        {{1, 1, 10}, {1, 1, std::nullopt}, true},  // the end arrived
        {{1, 1, std::nullopt}, {1, 1, 10}, false},
        {{1, 1, 20}, {1, 1, 10}, true},
        {{1000, 1500, 10}, {1000, 1200, 10}, true},  // counted past the full log
        {{1, 1, 99}, {2, 2, 10}, false},             // events weigh more than the end
    };
    for (const Case& c : cases) {
        EXPECT_EQ(isFuller(c.candidate, c.stored), c.fuller)
            << c.candidate.loggedEvents << "/" << c.candidate.countedEvents << " vs "
            << c.stored.loggedEvents << "/" << c.stored.countedEvents;
    }
}

TEST(SessionFullnessOrder, IgnoresNegativeCounts) {
    SessionRecord record = session("a", 1);
    record.eventCounts.emplace_back("broken", -5);
    EXPECT_EQ(fullnessOf(record).countedEvents, 1);
}
