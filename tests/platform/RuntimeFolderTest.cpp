#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "platform/RuntimeFolder.h"
#include "support/TempFolder.h"

namespace qp {
namespace {

namespace fs = std::filesystem;

// Points TMPDIR at a test folder and unsets XDG_RUNTIME_DIR, restoring both.
class RuntimeFolderTest : public testing::Test {
protected:
    void SetUp() override {
        m_tmp = saved("TMPDIR");
        m_runtime = saved("XDG_RUNTIME_DIR");
        ::setenv("TMPDIR", folder.path().c_str(), 1);
        ::unsetenv("XDG_RUNTIME_DIR");
    }
    void TearDown() override {
        restore("TMPDIR", m_tmp);
        restore("XDG_RUNTIME_DIR", m_runtime);
    }
    fs::path named() const {
        return folder.path() / ("quillpost-runtime-" + std::to_string(::getuid()));
    }
    static mode_t modeOf(const fs::path& path) {
        struct stat info {};
        ::lstat(path.c_str(), &info);
        return info.st_mode & 0777;
    }

    TempFolder folder;

private:
    static std::optional<std::string> saved(const char* name) {
        const char* value = std::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    }
    static void restore(const char* name, const std::optional<std::string>& value) {
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    }
    std::optional<std::string> m_tmp, m_runtime;
};

TEST_F(RuntimeFolderTest, MadePrivateWhenAbsentAndReusedWhenOurs) {
    const auto first = providePrivateRuntimeFolder();
    ASSERT_TRUE(first);
    EXPECT_EQ(*first, named());
    EXPECT_EQ(modeOf(*first), 0700u);
    EXPECT_EQ(std::getenv("XDG_RUNTIME_DIR"), first->string());
    ::unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(providePrivateRuntimeFolder(), first);
}

TEST_F(RuntimeFolderTest, APlantedLinkOrAnOpenFolderIsNeverUsedNorChanged) {
    const fs::path victim = folder.path() / "victim";
    fs::create_directory(victim);
    ::chmod(victim.c_str(), 0755);
    fs::create_directory_symlink(victim, named());
    const auto chosen = providePrivateRuntimeFolder();
    ASSERT_TRUE(chosen);
    EXPECT_NE(*chosen, named());
    EXPECT_TRUE(isPrivateFolder(*chosen));
    EXPECT_EQ(modeOf(victim), 0755u) << "the link's target keeps its mode";

    fs::remove(named());
    fs::create_directory(named());
    ::chmod(named().c_str(), 0777);
    ::unsetenv("XDG_RUNTIME_DIR");
    const auto again = providePrivateRuntimeFolder();
    ASSERT_TRUE(again);
    EXPECT_NE(*again, named());
    EXPECT_EQ(modeOf(named()), 0777u);
}

TEST_F(RuntimeFolderTest, AnExistingRuntimeFolderIsLeftAsItIs) {
    ::setenv("XDG_RUNTIME_DIR", "/run/user/4242", 1);
    EXPECT_EQ(providePrivateRuntimeFolder(), fs::path("/run/user/4242"));
    EXPECT_FALSE(fs::exists(named()));
}

}  // namespace
}  // namespace qp
