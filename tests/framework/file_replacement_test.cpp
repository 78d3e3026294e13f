// The I/O behind the text output stream: the hidden pending file it falls back to, and the one
// that a killed run left behind.
#include "framework/file_replacement.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/file_bytes.h"
#include "tests/support/temp_config.h"

namespace {

namespace fs = std::filesystem;
using zq8test::FolderEntries;
using zq8test::ReadBytes;
using zq8test::SettingsFile;
using zq8test::SettingsFolder;
using zq8test::WriteBytes;

// Where the file system makes no unnamed files, a hidden named one carries the new bytes.
TEST(FileReplacement, ANamedPendingFileTakesTheTargetsPlaceOrGoes) {
    for (const bool commit : {true, false}) {
        SCOPED_TRACE(commit ? "committed" : "dropped");
        WriteBytes(SettingsFile(), "old\n");
        struct stat old {};
        ASSERT_EQ(::stat(SettingsFile().c_str(), &old), 0);
        fw::String reason;
        {
            auto replacement = fw::FileReplacement::Begin(SettingsFile(), &old, reason,
                                                          fw::FileReplacement::Pending::kNamed);
            ASSERT_NE(replacement, nullptr) << reason;
            ASSERT_TRUE(replacement->Write("new\n", reason)) << reason;
            EXPECT_EQ(FolderEntries(SettingsFolder()),
                      (std::vector<std::string>{".zq8.ini.new", "zq8.ini"}));
            EXPECT_EQ(ReadBytes(SettingsFile()), "old\n");
            if (commit) {
                EXPECT_TRUE(replacement->Commit(reason)) << reason;
            }
        }
        EXPECT_EQ(ReadBytes(SettingsFile()), commit ? "new\n" : "old\n");
        EXPECT_EQ(FolderEntries(SettingsFolder()), std::vector<std::string>{"zq8.ini"});
    }
}

// A run killed between naming its new file and the rename leaves it behind. The next store
// replaces it, unnamed or named, and leaves every other file as it is.
TEST(FileReplacement, ReplacesThePendingFileAKilledRunLeftBehind) {
    using Pending = fw::FileReplacement::Pending;
    for (const Pending pending : {Pending::kUnnamedWherePossible, Pending::kNamed}) {
        SCOPED_TRACE(pending == Pending::kNamed ? "named" : "unnamed");
        fs::remove_all(SettingsFolder());
        const std::vector<std::string> kept = {".zq8.ini.new.bak", ".other.ini.new", "zq8.ini"};
        for (const std::string& name : kept) {
            WriteBytes(SettingsFolder() / name, "kept\n");
        }
        WriteBytes(SettingsFolder() / ".zq8.ini.new", "left behind\n");
        struct stat old {};
        ASSERT_EQ(::stat(SettingsFile().c_str(), &old), 0);

        fw::String reason;
        auto replacement = fw::FileReplacement::Begin(SettingsFile(), &old, reason, pending);
        ASSERT_NE(replacement, nullptr) << reason;
        ASSERT_TRUE(replacement->Write("new\n", reason));
        ASSERT_TRUE(replacement->Commit(reason)) << reason;

        std::vector<std::string> expected = kept;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(FolderEntries(SettingsFolder()), expected);
        EXPECT_EQ(ReadBytes(SettingsFile()), "new\n");
    }
}

}  // namespace
