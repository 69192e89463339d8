// What every store must do, run against SQLite and PostgreSQL alike: one
// record per session id whatever order copies come in, the fullest copy
// kept, whole reports, the figures, and writers racing on the same sessions.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <thread>

#include "service/ServiceSamples.h"
#include "service/StoreBackends.h"

using namespace qp;
using namespace qp::test;

namespace {

class AnalyticsStoreTest : public StoreBackendTest {
protected:
    static StoreOutcome store(AnalyticsStore& store, const std::vector<SessionRecord>& sessions) {
        Result<StoreOutcome> outcome = store.storeReport(prepared(sessions));
        EXPECT_TRUE(outcome.ok()) << outcome.error().toString();
        return outcome.ok() ? *outcome : StoreOutcome{};
    }

    static std::optional<SessionRecord> stored(AnalyticsStore& store, const std::string& id) {
        Result<std::optional<SessionRecord>> found = store.session(id);
        EXPECT_TRUE(found.ok()) << found.error().toString();
        return found.ok() ? *found : std::nullopt;
    }
};

}  // namespace

TEST_P(AnalyticsStoreTest, KeepsEveryFieldOfASession) {
    auto db = open();
    ASSERT_TRUE(db);
    SessionRecord record = session("a", 5, kDecemberFirst + 60000);
    record.pausedMilliseconds = 1200;
    record.crashed = true;
    record.eventLogComplete = false;
    record.networkAccess = NetworkAccess::NotReached;
    record.eventCounts.emplace_back("not logged", 7);
    record.events[1].parameters = ParameterList{};  // present but empty stays so
    // Text that array literals and quoting must carry through unchanged.
    record.events[2].parameters =
        ParameterList{{"z", "1"}, {"a", "ü\t2"}, {"{\"q\",\\}", "NULL"}, {"", "a,b"}};
    record.events[3].name = "\"quoted\", {braced}\\";
    addDeviceEvents(record, "iPad", "16.1");
    EXPECT_EQ(store(*db, {record}), (StoreOutcome{1, 0, 0}));
    EXPECT_EQ(stored(*db, "a"), record);
    EXPECT_EQ(stored(*db, "missing"), std::nullopt);
}

TEST_P(AnalyticsStoreTest, TheSameSessionThreeTimesIsStoredOnce) {
    auto db = open();
    ASSERT_TRUE(db);
    const SessionRecord record = session("a", 3);
    EXPECT_EQ(store(*db, {record}), (StoreOutcome{1, 0, 0}));
    EXPECT_EQ(store(*db, {record}), (StoreOutcome{0, 0, 1}));
    EXPECT_EQ(store(*db, {record}), (StoreOutcome{0, 0, 1}));
    const UsageFigures figures = db->figures().value();
    EXPECT_EQ(figures.sessions, 1);
    EXPECT_EQ(figures.events, 3);
}

TEST_P(AnalyticsStoreTest, AFullerCopyReplacesAThinnerOneButNeverTheReverse) {
    const SessionRecord thin = session("a", 2);
    SessionRecord full = session("a", 4, kDecemberFirst + 1000);
    addDeviceEvents(full, "iPhone", "16.1");
    struct Order {
        const char* what;
        std::vector<SessionRecord> copies;
        StoreOutcome last;
    };
    const std::vector<Order> orders = {
        {"thin then full", {thin, full}, {0, 1, 0}},
        {"full then thin", {full, thin}, {0, 0, 1}},
    };
    for (const Order& order : orders) {
        SCOPED_TRACE(order.what);
        startAfresh();
        auto db = open();
        ASSERT_TRUE(db);
        store(*db, {order.copies[0]});
        EXPECT_EQ(store(*db, {order.copies[1]}), order.last);
        EXPECT_EQ(stored(*db, "a"), full);
        const UsageFigures figures = db->figures().value();
        EXPECT_EQ(figures.sessions, 1);
        EXPECT_EQ(figures.events, 8);
        // The replaced copy's events and parameters went with it.
        EXPECT_EQ(figures.deviceClasses, (std::vector<NamedCount>{{"iPhone", 1}}));
    }
}

TEST_P(AnalyticsStoreTest, EndedCopyReplacesTheRunningOneWithTheSameEvents) {
    auto db = open();
    ASSERT_TRUE(db);
    store(*db, {session("a", 2)});
    EXPECT_EQ(store(*db, {session("a", 2, kDecemberFirst + 500)}), (StoreOutcome{0, 1, 0}));
    EXPECT_EQ(stored(*db, "a")->endMilliseconds, kDecemberFirst + 500);
}

TEST_P(AnalyticsStoreTest, AReportIsStoredWholeAndSurvivesReopening) {
    {
        auto db = open();
        ASSERT_TRUE(db);
        EXPECT_EQ(store(*db, {session("a", 1), session("b", 2), session("c")}),
                  (StoreOutcome{3, 0, 0}));
    }
    auto db = open();
    ASSERT_TRUE(db);
    EXPECT_EQ(db->figures().value().sessions, 3);
    EXPECT_EQ(stored(*db, "b"), session("b", 2));
}

TEST_P(AnalyticsStoreTest, CountsSessionsEventsDaysAndBreakdowns) {
    auto db = open();
    ASSERT_TRUE(db);
    storeKnownSessions(*db);
    const UsageFigures figures = db->figures().value();
    EXPECT_EQ(figures.sessions, 5);
    EXPECT_EQ(figures.events, 3 + 1 + 2 + 4 * 4);
    EXPECT_EQ(figures.sessionsPerDay,
              (std::vector<NamedCount>{{"2026-12-01", 2}, {"2026-12-03", 3}}));
    EXPECT_EQ(figures.deviceClasses, (std::vector<NamedCount>{{"iPad", 3}, {"iPhone", 1}}));
    EXPECT_EQ(figures.systemVersions, (std::vector<NamedCount>{{"15.0", 2}, {"16.1", 2}}));
    ASSERT_EQ(figures.topEvents.size(), 7u);
    EXPECT_EQ(figures.topEvents[0], (NamedCount{"1-Device:", 4}));
    // Ties go by name, byte by byte: "4-…" before "e0", upper case first.
    EXPECT_EQ(figures.topEvents[3], (NamedCount{"4-iOS Class:", 4}));
    EXPECT_EQ(figures.topEvents[4], (NamedCount{"e0", 3}));
    EXPECT_EQ(figures.topEvents[5], (NamedCount{"e1", 2}));
    EXPECT_EQ(figures.topEvents[6], (NamedCount{"e2", 1}));
}

TEST_P(AnalyticsStoreTest, TopEventsStopAtTenAndStartsOutOfRangeHaveNoDay) {
    auto db = open();
    ASSERT_TRUE(db);
    // Starts the report's day arithmetic cannot place must not fail the figures.
    store(*db, {session("a", 30), session("far", 0, std::nullopt, INT64_MAX),
                session("before", 0, std::nullopt, -1500)});
    const Result<UsageFigures> figures = db->figures();
    ASSERT_TRUE(figures.ok()) << figures.error().toString();
    EXPECT_EQ(figures->topEvents.size(), kTopEventCount);
    EXPECT_EQ(figures->events, 30);
    EXPECT_EQ(figures->sessionsPerDay,
              (std::vector<NamedCount>{{"", 1}, {"1969-12-31", 1}, {"2026-12-01", 1}}));
}

// Writers with connections of their own, as several service processes
// are, send overlapping reports with the sessions in different orders and
// copies of different fullness: each session ends up stored once, as the
// fullest copy anyone sent, and every copy is accounted for.
TEST_P(AnalyticsStoreTest, WritersAtOnceKeepOneFullestCopyPerSession) {
    constexpr int kWriters = 4;
    constexpr int kRounds = 12;
    constexpr int kSessions = 8;
    const auto eventsFor = [](int writer, int round, int index) {
        return (writer * 7 + round * 3 + index * 5) % 11;
    };
    ASSERT_TRUE(open());  // the layout, made once
    std::vector<StoreOutcome> outcomes(kWriters);
    std::vector<std::string> failures(kWriters);
    {
        std::vector<std::unique_ptr<AnalyticsStore>> stores;
        for (int writer = 0; writer < kWriters; ++writer) stores.push_back(open());
        ASSERT_TRUE(
            std::all_of(stores.begin(), stores.end(), [](auto& s) { return s != nullptr; }));
        std::vector<std::thread> threads;
        for (int writer = 0; writer < kWriters; ++writer) {
            threads.emplace_back([&, writer] {
                for (int round = 0; round < kRounds; ++round) {
                    std::vector<SessionRecord> sessions;
                    for (int i = 0; i < kSessions; ++i) {
                        const int index = (i + writer * 3) % kSessions;
                        sessions.push_back(
                            session("s" + std::to_string(index), eventsFor(writer, round, index)));
                    }
                    if (writer % 2) std::reverse(sessions.begin(), sessions.end());
                    Result<StoreOutcome> outcome = stores[writer]->storeReport(prepared(sessions));
                    if (!outcome.ok()) {
                        failures[writer] = outcome.error().toString();
                        return;
                    }
                    outcomes[writer].added += outcome->added;
                    outcomes[writer].replaced += outcome->replaced;
                    outcomes[writer].kept += outcome->kept;
                }
            });
        }
        for (std::thread& thread : threads) thread.join();
    }
    for (const std::string& failure : failures) EXPECT_EQ(failure, "");
    StoreOutcome total;
    for (const StoreOutcome& outcome : outcomes) {
        total.added += outcome.added;
        total.replaced += outcome.replaced;
        total.kept += outcome.kept;
    }
    EXPECT_EQ(total.added, std::size_t{kSessions});
    EXPECT_EQ(total.added + total.replaced + total.kept,
              std::size_t{kWriters * kRounds * kSessions});

    auto db = open();
    ASSERT_TRUE(db);
    EXPECT_EQ(db->figures().value().sessions, kSessions);
    for (int index = 0; index < kSessions; ++index) {
        int most = 0;
        for (int writer = 0; writer < kWriters; ++writer) {
            for (int round = 0; round < kRounds; ++round)
                most = std::max(most, eventsFor(writer, round, index));
        }
        const std::string id = "s" + std::to_string(index);
        EXPECT_EQ(stored(*db, id), session(id, most)) << id;
    }
}

INSTANTIATE_TEST_SUITE_P(Stores, AnalyticsStoreTest,
                         ::testing::Values(StoreKind::Sqlite, StoreKind::Postgres), storeKindName);
