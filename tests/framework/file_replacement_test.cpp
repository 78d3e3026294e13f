// The I/O behind the text output stream: the hidden pending files it falls back to, and the
// clean-up of those that killed runs left behind.
#include "framework/file_replacement.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
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
            const auto during = FolderEntries(SettingsFolder());
            ASSERT_EQ(during.size(), 2u);
            EXPECT_EQ(during[0].rfind(".zq8.ini." + std::to_string(::getpid()) + "-", 0), 0u)
                << during[0];
            EXPECT_EQ(ReadBytes(SettingsFile()), "old\n");
            if (commit) {
                EXPECT_TRUE(replacement->Commit(reason)) << reason;
            }
        }
        EXPECT_EQ(ReadBytes(SettingsFile()), commit ? "new\n" : "old\n");
        EXPECT_EQ(FolderEntries(SettingsFolder()), std::vector<std::string>{"zq8.ini"});
    }
}

// A run killed between naming its new file and the rename leaves it behind. The next run
// removes such files of runs that are gone, and no other file: not a live run's, whoever it
// belongs to, nor anything else that looks a little like one.
TEST(FileReplacement, RemovesThePendingFilesOfRunsThatAreGoneAndNoOthers) {
    zq8test::ChildProcess ended([](int) { return 0; });
    const std::string gone = std::to_string(ended.Pid());
    ended.Wait();
    zq8test::ChildProcess running([](int) {
        ::pause();
        return 0;
    });
    const std::string live = std::to_string(running.Pid());
    const std::vector<std::string> kept = {
        "." + live + ".ini",
        ".zq8.ini." + live + "-0",
        ".zq8.ini.1-0",  // init never ends
        ".zq8.ini." + gone,
        ".zq8.ini." + gone + "-",
        ".zq8.ini." + gone + "-x",
        ".zq8.ini." + gone + "-3.bak",
        ".other.ini." + gone + "-0",
        "zq8.ini." + gone + "-0",
        "zq8.ini",
    };
    for (const std::string& name : kept) {
        WriteBytes(SettingsFolder() / name, "kept\n");
    }
    for (const std::string& name : {".zq8.ini." + gone + "-0", ".zq8.ini." + gone + "-41"}) {
        WriteBytes(SettingsFolder() / name, "left behind\n");
    }
    struct stat old {};
    ASSERT_EQ(::stat(SettingsFile().c_str(), &old), 0);

    fw::String reason;
    auto replacement = fw::FileReplacement::Begin(SettingsFile(), &old, reason);
    ASSERT_NE(replacement, nullptr) << reason;
    ASSERT_TRUE(replacement->Write("new\n", reason));
    ASSERT_TRUE(replacement->Commit(reason)) << reason;

    std::vector<std::string> expected = kept;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(FolderEntries(SettingsFolder()), expected);
}

}  // namespace
