// One panel at a time on a settings folder; the other panel is played by a child process.
#include "framework/settings_lock.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "tests/support/child_process.h"
#include "tests/support/file_bytes.h"
#include "tests/support/ordinary_user.h"
#include "tests/support/other_panel.h"
#include "tests/support/temp_config.h"

namespace {

namespace fs = std::filesystem;
using zq8test::ReadBytes;
using zq8test::SettingsFolder;
using zq8test::WriteBytes;

TEST(SettingsLock, ASecondPanelIsRefusedWithThePidOfTheFirstUntilTheFirstEnds) {
    const fs::path lockFile = SettingsFolder() / ".zq8.lock";
    {
        // The first panel holds the lock until it is killed.
        zq8test::ChildProcess first(zq8test::HoldSettingsLockUntilKilled);
        ASSERT_EQ(first.Read(sizeof zq8test::kLocked - 1), zq8test::kLocked);
        EXPECT_EQ(ReadBytes(lockFile), std::to_string(first.Pid()) + "\n");

        testing::internal::CaptureStderr();
        EXPECT_FALSE(fw::LockSettingsFolder());
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  "zq8: another panel (pid " + std::to_string(first.Pid()) +
                      ") is already running on " + SettingsFolder().string() + "\n");
    }
    // The first one is gone, and the lock with it.
    testing::internal::CaptureStderr();
    EXPECT_TRUE(fw::LockSettingsFolder());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(ReadBytes(lockFile), std::to_string(::getpid()) + "\n");

    zq8test::ChildProcess whileHeld([](int) { return fw::LockSettingsFolder() ? 0 : 1; });
    EXPECT_EQ(whileHeld.Wait(), 1);
    fw::UnlockSettingsFolder();
    zq8test::ChildProcess afterwards([](int) { return fw::LockSettingsFolder() ? 0 : 1; });
    EXPECT_EQ(afterwards.Wait(), 0);
}

// The folder removed, or renamed, under the running panel: the store that makes it anew takes
// the lock there first, so that a second panel started after is refused, and a second panel
// that took the new folder first refuses the store.
TEST(SettingsLock, IsTakenAgainWhereTheFolderIsMadeAnewUnlessAnotherPanelHoldsIt) {
    const fs::path lockFile = SettingsFolder() / ".zq8.lock";
    const fs::path moved = SettingsFolder().string() + ".moved";
    for (const bool removed : {true, false}) {
        SCOPED_TRACE(removed ? "removed" : "renamed");
        ASSERT_TRUE(fw::LockSettingsFolder());
        fw::String reason;
        EXPECT_TRUE(fw::KeepSettingsFolderLocked(reason));
        removed ? (void)fs::remove_all(SettingsFolder()) : fs::rename(SettingsFolder(), moved);

        EXPECT_TRUE(fw::KeepSettingsFolderLocked(reason));
        EXPECT_EQ(reason, "");
        EXPECT_EQ(ReadBytes(lockFile), std::to_string(::getpid()) + "\n");
        zq8test::ChildProcess second([](int) { return fw::LockSettingsFolder() ? 0 : 1; });
        EXPECT_EQ(second.Wait(), 1);

        // Taken away again, and this time another panel makes the folder first.
        removed ? (void)fs::remove_all(SettingsFolder())
                : fs::rename(SettingsFolder(), moved.string() + "2");
        zq8test::ChildProcess other(zq8test::HoldSettingsLockUntilKilled);
        ASSERT_EQ(other.Read(sizeof zq8test::kLocked - 1), zq8test::kLocked);
        EXPECT_FALSE(fw::KeepSettingsFolderLocked(reason));
        EXPECT_EQ(reason, "another panel (pid " + std::to_string(other.Pid()) +
                              ") is already running on " + SettingsFolder().string());
        EXPECT_EQ(ReadBytes(lockFile), std::to_string(other.Pid()) + "\n");
        other.Kill();
        other.Wait();
        fw::UnlockSettingsFolder();
        fs::remove_all(SettingsFolder());
    }
}

// Nothing in such a folder can be stored either; the store says so in its own words.
TEST(SettingsLock, AFolderThatCanHoldNoLockFileLeavesTheRunUnguarded) {
    WriteBytes(SettingsFolder(), "a file where the settings folder belongs\n");

    testing::internal::CaptureStderr();
    EXPECT_TRUE(fw::LockSettingsFolder());
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "zq8: cannot lock " + (SettingsFolder() / ".zq8.lock").string() +
                  ": Not a directory; a second panel on it is not kept out\n");
    fw::UnlockSettingsFolder();
    EXPECT_EQ(ReadBytes(SettingsFolder()), "a file where the settings folder belongs\n");
}

// What an ordinary user meets, to whom the lock file or the folder may be closed: root opens
// anything, so under root the panel runs as that user in a child.
TEST(SettingsLock, AsAnOrdinaryUserALockFileTheyMayOnlyReadStillKeepsOutASecondPanel) {
    const fs::path lockFile = SettingsFolder() / ".zq8.lock";
    const struct {
        const char* name;
        fs::perms mode;
        bool theirs;  // else the test runner's, as another user's panel leaves it
    } cases[] = {
        {"their own lock file, made read-only", fs::perms(0444), true},
        {"the lock file of another user's panel", fs::perms(0644), false},
    };
    zq8test::OpenConfigHomeToOrdinaryUser();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(SettingsFolder());
        fs::create_directories(SettingsFolder());
        zq8test::GiveToOrdinaryUser(SettingsFolder());
        WriteBytes(lockFile, "");
        if (c.theirs) {
            zq8test::GiveToOrdinaryUser(lockFile);
        }
        fs::permissions(lockFile, c.mode);

        // The ordinary user's panel first, then the other way round.
        {
            zq8test::ChildProcess first([](int report) {
                zq8test::BecomeOrdinaryUser();
                return zq8test::HoldSettingsLockUntilKilled(report);
            });
            ASSERT_EQ(first.Read(sizeof zq8test::kLocked - 1), zq8test::kLocked);
            testing::internal::CaptureStderr();
            EXPECT_FALSE(fw::LockSettingsFolder());
            const std::string said = testing::internal::GetCapturedStderr();
            EXPECT_NE(said.find("is already running on " + SettingsFolder().string()),
                      std::string::npos)
                << said;
        }
        zq8test::ChildProcess first(zq8test::HoldSettingsLockUntilKilled);
        ASSERT_EQ(first.Read(sizeof zq8test::kLocked - 1), zq8test::kLocked);
        zq8test::ChildProcess second([](int report) {
            zq8test::BecomeOrdinaryUser();
            testing::internal::CaptureStderr();
            const bool locked = fw::LockSettingsFolder();
            const std::string said = testing::internal::GetCapturedStderr();
            return ::write(report, said.data(), said.size()) == ssize_t(said.size()) && !locked ? 0
                                                                                                : 1;
        });
        EXPECT_EQ(second.ReadAll(), "zq8: another panel (pid " + std::to_string(first.Pid()) +
                                        ") is already running on " + SettingsFolder().string() +
                                        "\n");
        EXPECT_EQ(second.Wait(), 0);
    }
}

TEST(SettingsLock, AsAnOrdinaryUserAFolderTheyCannotWriteLeavesTheRunUnguardedSayingWhy) {
    zq8test::OpenConfigHomeToOrdinaryUser();
    fs::create_directories(SettingsFolder());
    zq8test::GiveToOrdinaryUser(SettingsFolder());
    fs::permissions(SettingsFolder(), fs::perms(0555));
    zq8test::ChildProcess panel([](int report) {
        zq8test::BecomeOrdinaryUser();
        testing::internal::CaptureStderr();
        const bool locked = fw::LockSettingsFolder();
        const std::string said = testing::internal::GetCapturedStderr();
        return ::write(report, said.data(), said.size()) == ssize_t(said.size()) && locked ? 0 : 1;
    });
    EXPECT_EQ(panel.ReadAll(), "zq8: cannot lock " + (SettingsFolder() / ".zq8.lock").string() +
                                   ": Permission denied; a second panel on it is not kept out\n");
    EXPECT_EQ(panel.Wait(), 0);
    fs::permissions(SettingsFolder(), fs::perms::owner_all);
    EXPECT_TRUE(zq8test::FolderEntries(SettingsFolder()).empty());
}

}  // namespace
