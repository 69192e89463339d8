#include <gtest/gtest.h>

#include <fstream>

#include "SampleRecords.h"
#include "analytics/KeyHash.h"
#include "analytics/ReportCodec.h"
#include "analytics/SavedSessions.h"
#include "analytics/UsageFileCache.h"
#include "support/LogCapture.h"
#include "support/TempFolder.h"

using namespace qp;
namespace fs = std::filesystem;

namespace {

void writeBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::size_t filesIn(const fs::path& folder) {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

class UsageFileCacheTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_files.createFolder().ok()); }

    TempFolder m_temp;
    UsageFileCache m_files{UsageFileCache::folderIn(m_temp.path()), 1234, "qp1.0"};
};

}  // namespace

TEST(KeyHash, IsStableAndNonNegative) {
    // FNV-1a of the bytes, top bit cleared: fixed values, whatever the build.
    EXPECT_EQ(usageKeyHash(""), static_cast<std::int32_t>(2166136261u & 0x7FFFFFFFu));
    EXPECT_EQ(usageKeyHash("a"), static_cast<std::int32_t>(0xE40C292Cu & 0x7FFFFFFFu));
    EXPECT_GE(usageKeyHash("ABCDEFGHIJ0123456789"), 0);
    EXPECT_NE(usageKeyHash("ABCDEFGHIJ0123456789"), usageKeyHash("ABCDEFGHIJ0123456788"));
    EXPECT_EQ(removeSpaces(" AB CD  EF "), "ABCDEF");
}

TEST_F(UsageFileCacheTest, NamesTheFourFilesByKeyHashAndAgent) {
    const fs::path folder = m_temp.path() / "UsageFiles";
    EXPECT_EQ(m_files.storedSessionsFile(), folder / "usageStored1234_qp1.0.archive");
    EXPECT_EQ(m_files.currentSessionFile(), folder / "usageCurrent1234_qp1.0.archive");
    EXPECT_EQ(m_files.sentSessionFile(), folder / "usageSent1234_qp1.0.archive");
    EXPECT_EQ(m_files.initialTimestampFile(), folder / "initialTimestamp1234.archive");
}

TEST_F(UsageFileCacheTest, PrefersTheOlderDottedNameWhenItExists) {
    const fs::path folder = m_temp.path() / "UsageFiles";
    writeBytes(folder / ".usageStored1234_qp1.0.archive", "");
    writeBytes(folder / ".initialTimestamp1234.archive", "");
    EXPECT_EQ(m_files.storedSessionsFile(), folder / ".usageStored1234_qp1.0.archive");
    EXPECT_EQ(m_files.initialTimestampFile(), folder / ".initialTimestamp1234.archive");
    EXPECT_EQ(m_files.currentSessionFile(), folder / "usageCurrent1234_qp1.0.archive");

    ASSERT_TRUE(m_files.writeStoredSessions({encodeSessionRecord(sampleSessionRecord())}).ok());
    EXPECT_EQ(m_files.readStoredSessions().size(), 1u);
    EXPECT_FALSE(fs::exists(folder / "usageStored1234_qp1.0.archive"));
}

TEST_F(UsageFileCacheTest, ArchivesRoundTrip) {
    const SessionRecord record = sampleSessionRecord();
    EXPECT_FALSE(m_files.hasCurrentSession());
    ASSERT_TRUE(m_files.writeCurrentSession(record).ok());
    EXPECT_TRUE(m_files.hasCurrentSession());
    EXPECT_EQ(m_files.readCurrentSession(), record);
    m_files.removeCurrentSession();
    EXPECT_FALSE(m_files.hasCurrentSession());

    const std::vector<std::string> stored{encodeSessionRecord(record),
                                          encodeSessionRecord(sampleSessionRecord("x"))};
    ASSERT_TRUE(m_files.writeStoredSessions(stored).ok());
    EXPECT_EQ(m_files.readStoredSessions(), stored);

    ASSERT_TRUE(m_files.writeSentSession(stored[1]).ok());
    EXPECT_EQ(m_files.readSentSession(), sampleSessionRecord("x"));

    EXPECT_FALSE(m_files.readInitialTimestamp().has_value());
    ASSERT_TRUE(m_files.writeInitialTimestamp(1356998400123).ok());
    EXPECT_EQ(m_files.readInitialTimestamp(), 1356998400123);
}

TEST_F(UsageFileCacheTest, DamagedArchivesAreSetAsideAndReadAsAbsent) {
    const std::string record = encodeSessionRecord(sampleSessionRecord());
    struct Case {
        const char* what;
        std::string bytes;
    };
    ASSERT_TRUE(m_files.writeCurrentSession(sampleSessionRecord()).ok());
    std::string whole;
    {
        std::ifstream in(m_files.currentSessionFile(), std::ios::binary);
        whole.assign(std::istreambuf_iterator<char>(in), {});
    }
    const Case cases[] = {
        {"not a property list", "garbage"},
        {"a truncated archive", whole.substr(0, whole.size() / 2)},
        {"an empty file", ""},
    };
    for (const Case& c : cases) {
        LogCapture log;
        writeBytes(m_files.currentSessionFile(), c.bytes);
        const std::size_t before = filesIn(m_files.folder());
        EXPECT_FALSE(m_files.readCurrentSession().has_value()) << c.what;
        EXPECT_FALSE(m_files.hasCurrentSession())
            << c.what << ": the damaged file is no longer read";
        EXPECT_EQ(filesIn(m_files.folder()), before) << c.what << ": it is kept under a new name";
        EXPECT_FALSE(log.lines().empty()) << c.what;
    }
}

TEST_F(UsageFileCacheTest, ADamagedRecordInsideTheSavedListSetsTheListAside) {
    ASSERT_TRUE(
        m_files.writeStoredSessions({encodeSessionRecord(sampleSessionRecord()), "not a record"})
            .ok());
    LogCapture log;
    EXPECT_TRUE(m_files.readStoredSessions().empty());
    EXPECT_FALSE(fs::exists(m_files.storedSessionsFile()));
}

TEST_F(UsageFileCacheTest, SavedSessionsKeepTheNewestFifty) {
    SavedSessions saved(m_files, 50);
    for (int i = 0; i < 51; ++i)
        saved.add(encodeSessionRecord(sampleSessionRecord(std::to_string(i))));
    const std::vector<std::string> kept = saved.snapshot();
    ASSERT_EQ(kept.size(), 50u);
    EXPECT_EQ(decodeSessionRecord(kept.front())->sessionId, "1");
    EXPECT_EQ(decodeSessionRecord(kept.back())->sessionId, "50");

    SavedSessions reloaded(m_files, 50);
    reloaded.load();
    EXPECT_EQ(reloaded.snapshot(), kept);
}

TEST_F(UsageFileCacheTest, RemovingSentSessionsKeepsThoseThatJoinedMeanwhile) {
    SavedSessions saved(m_files, 50);
    saved.add(encodeSessionRecord(sampleSessionRecord("a")));
    saved.add(encodeSessionRecord(sampleSessionRecord("b")));
    const std::vector<std::string> sent = saved.snapshot();
    saved.add(encodeSessionRecord(sampleSessionRecord("c")));
    saved.removeSent(sent);
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(decodeSessionRecord(saved.snapshot()[0])->sessionId, "c");
    EXPECT_EQ(m_files.readStoredSessions().size(), 1u);
}

TEST_F(UsageFileCacheTest, ALaterStateOfASavedSessionReplacesItInPlace) {
    SavedSessions saved(m_files, 50);
    SessionRecord a = sampleSessionRecord("a");
    const std::string paused = encodeSessionRecord(a);
    saved.add(paused);
    saved.add(encodeSessionRecord(sampleSessionRecord("b")));
    a.endMilliseconds = *a.endMilliseconds + 3000;
    const std::string ended = encodeSessionRecord(a);
    saved.add(ended);
    EXPECT_EQ(saved.snapshot(),
              (std::vector<std::string>{ended, encodeSessionRecord(sampleSessionRecord("b"))}));
    EXPECT_TRUE(saved.contains("a"));

    // A report that carried the earlier state does not take the later one away.
    saved.removeSent({paused});
    EXPECT_EQ(saved.size(), 2u);
    SavedSessions reloaded(m_files, 50);
    reloaded.load();
    EXPECT_EQ(reloaded.snapshot(), saved.snapshot());
    reloaded.add(ended);
    EXPECT_EQ(reloaded.size(), 2u) << "ids are known again after a load";
}
