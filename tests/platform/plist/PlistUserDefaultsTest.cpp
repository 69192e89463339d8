#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/Log.h"
#include "platform/Paths.h"
#include "platform/plist/PlistUserDefaults.h"
#include "support/LogCapture.h"
#include "support/MemoryUserDefaults.h"
#include "support/TempFolder.h"

namespace qp {
namespace {

namespace fs = std::filesystem;

constexpr const char* kBundle = "net.quillpost.Quillpost";

class PlistUserDefaultsTest : public ::testing::Test {
protected:
    void SetUp() override { m_dir = m_folder.path(); }

    fs::path file() const { return m_dir / (std::string(kBundle) + ".plist"); }
    std::size_t filesInFolder() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()));
    }

    TempFolder m_folder;
    fs::path m_dir;
};

TEST_F(PlistUserDefaultsTest, AbsentFileReadsAsZeroValues) {
    PlistUserDefaults defaults(m_dir, kBundle);
    EXPECT_EQ(defaults.path(), file());
    EXPECT_EQ(defaults.integerForKey("kLaunchesNumber"), 0);
    EXPECT_EQ(defaults.stringForKey("FBAccessTokenKey"), "");
    EXPECT_FALSE(defaults.boolForKey("x"));
    EXPECT_EQ(defaults.doubleForKey("x"), 0.0);
    EXPECT_FALSE(defaults.dateForKey("FBExpirationDateKey").has_value());
    EXPECT_TRUE(defaults.dataForKey("x").empty());
    EXPECT_TRUE(defaults.arrayForKey("x").empty());
    EXPECT_TRUE(defaults.dictionaryForKey("x").empty());
    EXPECT_FALSE(defaults.objectForKey("x").has_value());
    // Nothing changed, so nothing is written.
    EXPECT_TRUE(defaults.synchronize());
    EXPECT_FALSE(fs::exists(file()));
}

TEST_F(PlistUserDefaultsTest, SynchronizedValuesReloadInANewInstance) {
    const PlistDate expiry{std::chrono::microseconds(1367409600123456)};
    {
        PlistUserDefaults defaults(m_dir, kBundle);
        defaults.setInteger(defaults.integerForKey("kLaunchesNumber") + 1, "kLaunchesNumber");
        defaults.setString("token", "FBAccessTokenKey");
        defaults.setObjectForKey(PlistValue(expiry), "FBExpirationDateKey");
        defaults.setBool(true, "flag");
        defaults.setDouble(2.5, "real");
        defaults.setObjectForKey(PlistValue(PlistArray{"a", 1}), "list");
        defaults.setString("gone", "removed");
        defaults.removeObjectForKey("removed");
        ASSERT_TRUE(defaults.synchronize());
    }
    // Binary, and written in place of a temporary file that is gone.
    std::ifstream in(file(), std::ios::binary);
    std::string magic(8, '\0');
    in.read(magic.data(), 8);
    EXPECT_EQ(magic, "bplist00");
    EXPECT_EQ(filesInFolder(), 1u);

    PlistUserDefaults reloaded(m_dir, kBundle);
    EXPECT_EQ(reloaded.integerForKey("kLaunchesNumber"), 1);
    EXPECT_EQ(reloaded.stringForKey("FBAccessTokenKey"), "token");
    EXPECT_EQ(reloaded.dateForKey("FBExpirationDateKey"), expiry);
    EXPECT_TRUE(reloaded.boolForKey("flag"));
    EXPECT_EQ(reloaded.doubleForKey("real"), 2.5);
    EXPECT_EQ(reloaded.arrayForKey("list"), (PlistArray{"a", 1}));
    EXPECT_FALSE(reloaded.objectForKey("removed").has_value());
}

TEST_F(PlistUserDefaultsTest, CleanStoreDoesNotRewriteTheFile) {
    PlistUserDefaults defaults(m_dir, kBundle);
    defaults.setInteger(3, "n");
    ASSERT_TRUE(defaults.synchronize());
    fs::remove(file());
    defaults.setInteger(3, "n");  // the same value is no change
    EXPECT_TRUE(defaults.synchronize());
    EXPECT_FALSE(fs::exists(file()));
    defaults.setInteger(4, "n");
    EXPECT_TRUE(defaults.synchronize());
    EXPECT_TRUE(fs::exists(file()));
}

TEST_F(PlistUserDefaultsTest, PendingChangesAreWrittenOnDestruction) {
    { PlistUserDefaults(m_dir, kBundle).setInteger(9, "n"); }
    EXPECT_EQ(PlistUserDefaults(m_dir, kBundle).integerForKey("n"), 9);
}

TEST_F(PlistUserDefaultsTest, DamagedFilesAreSetAsideAndNeverOverwritten) {
    Result<std::string> good = serializePropertyList(
        PlistValue(PlistDictionary{{"kLaunchesNumber", 41}, {"s", "text"}}), PlistFormat::Binary);
    ASSERT_TRUE(good.ok());
    Result<std::string> notADictionary =
        serializePropertyList(PlistValue(PlistArray{1}), PlistFormat::Binary);
    ASSERT_TRUE(notADictionary.ok());
    const std::vector<std::pair<const char*, std::string>> damaged = {
        {"garbage", "this is not a property list"},
        {"truncated binary", good->substr(0, good->size() / 2)},
        {"truncated xml", "<?xml version=\"1.0\"?><plist><dict><key>a</key><integer>1"},
        {"empty", ""},
        {"array at the top", notADictionary.value()},
    };
    for (const auto& [name, bytes] : damaged) {
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        ASSERT_TRUE(writeFileAtomically(file(), bytes).ok());
        LogCapture log;
        PlistUserDefaults defaults(m_dir, kBundle);
        EXPECT_EQ(defaults.integerForKey("kLaunchesNumber"), 0) << name;
        EXPECT_TRUE(log.mentions("damaged")) << name;

        const fs::path aside = file().string() + ".corrupt-1";
        ASSERT_TRUE(fs::exists(aside)) << name;
        EXPECT_EQ(readFile(aside).valueOr(""), bytes) << name;

        defaults.setInteger(1, "kLaunchesNumber");
        ASSERT_TRUE(defaults.synchronize()) << name;
        EXPECT_EQ(readFile(aside).valueOr(""), bytes) << name;
        EXPECT_EQ(PlistUserDefaults(m_dir, kBundle).integerForKey("kLaunchesNumber"), 1) << name;
    }
}

TEST_F(PlistUserDefaultsTest, UnwritableValueIsRefusedAndOthersStillSave) {
    LogCapture log;
    PlistUserDefaults defaults(m_dir, kBundle);
    defaults.setString("a", "kept");
    defaults.setObjectForKey(PlistValue(std::string("bad\0", 4)), "b");
    defaults.setObjectForKey(PlistValue(PlistDate(std::chrono::hours(24 * 365 * 150))), "c");
    EXPECT_TRUE(log.mentions("not stored"));
    EXPECT_FALSE(defaults.objectForKey("b").has_value());
    EXPECT_FALSE(defaults.objectForKey("c").has_value());
    ASSERT_TRUE(defaults.synchronize());
    EXPECT_EQ(PlistUserDefaults(m_dir, kBundle).stringForKey("kept"), "a");
}

TEST_F(PlistUserDefaultsTest, FailedWriteIsReportedAndRetried) {
    // A regular file where the preferences folder should be.
    const fs::path blocked = m_dir / "Preferences";
    ASSERT_TRUE(writeFileAtomically(blocked, "x").ok());
    LogCapture log;
    PlistUserDefaults defaults(blocked, kBundle);
    defaults.setInteger(1, "n");
    EXPECT_FALSE(defaults.synchronize());
    EXPECT_TRUE(log.mentions("Cannot save settings"));
    EXPECT_FALSE(defaults.synchronize());  // still pending, so tried again

    fs::remove(blocked);
    EXPECT_TRUE(defaults.synchronize());
    EXPECT_EQ(PlistUserDefaults(blocked, kBundle).integerForKey("n"), 1);
}

TEST_F(PlistUserDefaultsTest, ConcurrentReadsWritesAndSavesAreSafe) {
    PlistUserDefaults defaults(m_dir, kBundle);
    constexpr int kRounds = 300;
    std::atomic<bool> sawDecrease{false};
    std::thread writer([&] {
        for (int i = 1; i <= kRounds; ++i) {
            defaults.setInteger(i, "counter");
            defaults.setObjectForKey(PlistValue(PlistArray{i}), "list");
            if (i % 50 == 0) (void)defaults.synchronize();
        }
    });
    std::thread reader([&] {
        std::int64_t last = 0;
        for (int i = 0; i < kRounds; ++i) {
            const std::int64_t now = defaults.integerForKey("counter");
            if (now < last) sawDecrease = true;
            last = now;
            (void)defaults.arrayForKey("list");
            if (i % 50 == 0) (void)defaults.synchronize();
        }
    });
    writer.join();
    reader.join();
    EXPECT_FALSE(sawDecrease);
    ASSERT_TRUE(defaults.synchronize());
    EXPECT_EQ(PlistUserDefaults(m_dir, kBundle).integerForKey("counter"), kRounds);
}

TEST(MemoryUserDefaults, BehavesLikeTheStoreForTests) {
    MemoryUserDefaults defaults(PlistDictionary{{"kLaunchesNumber", 2}});
    EXPECT_EQ(defaults.integerForKey("kLaunchesNumber"), 2);
    EXPECT_EQ(defaults.integerForKey("absent"), 0);
    defaults.setBool(true, "b");
    EXPECT_TRUE(defaults.hasUnsavedChanges());
    defaults.setFailSynchronize(true);
    EXPECT_FALSE(defaults.synchronize());
    EXPECT_TRUE(defaults.hasUnsavedChanges());
    defaults.setFailSynchronize(false);
    EXPECT_TRUE(defaults.synchronize());
    EXPECT_FALSE(defaults.hasUnsavedChanges());
    EXPECT_EQ(defaults.synchronizeCount(), 2);
    EXPECT_EQ(defaults.values().size(), 2u);
}

}  // namespace
}  // namespace qp
