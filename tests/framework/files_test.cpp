#include "framework/files.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <stdexcept>
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

// Sets or unsets an environment variable for one test and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedEnv() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }

private:
    const char* name_;
    std::optional<std::string> old_;
};

std::shared_ptr<fw::FolderItem> SettingsItem() {
    auto item = fw::GetFolderItem("zq8.ini");
    if (!item) {
        throw std::runtime_error("no folder item");
    }
    return item;
}

std::vector<std::string> ReadAllLines(fw::FolderItem& item) {
    auto input = item.OpenAsTextFile();
    if (!input) {
        throw std::runtime_error("cannot open " + item.Path() + ": " + item.LastError());
    }
    std::vector<std::string> lines;
    while (!input->Eof()) {
        lines.push_back(input->ReadLine());
    }
    return lines;
}

void WriteAllLines(fw::FolderItem& item, const std::vector<std::string>& lines) {
    auto output = item.CreateTextFile();
    ASSERT_NE(output, nullptr) << item.LastError();
    for (const auto& line : lines) {
        output->WriteLine(line);
    }
}

TEST(GetFolderItem, PutsABareNameInTheSettingsFolderOfTheMomentsEnvironment) {
    EXPECT_EQ(SettingsItem()->Path(), SettingsFile().string());

    const fs::path other = fs::path(std::getenv("XDG_CONFIG_HOME")) / "elsewhere";
    {
        ScopedEnv xdg("XDG_CONFIG_HOME", other.c_str());
        EXPECT_EQ(SettingsItem()->Path(), (other / "zq8" / "zq8.ini").string());
    }
    const fs::path home = fs::path(std::getenv("XDG_CONFIG_HOME")) / "home";
    ScopedEnv homeEnv("HOME", home.c_str());
    for (const char* unsetOrEmpty : {static_cast<const char*>(nullptr), ""}) {
        ScopedEnv xdg("XDG_CONFIG_HOME", unsetOrEmpty);
        EXPECT_EQ(SettingsItem()->Path(), (home / ".config" / "zq8" / "zq8.ini").string());
    }
}

TEST(TextStreams, LinesGoOutWithNewlineAndComeBackByteForByte) {
    const std::vector<std::string> lines = {
        "zq8lang",
        "0",
        "",
        std::string("nul\0inside", 10),
        "\xFF\xFE not UTF-8",
        "caf\xC3\xA9",
        std::string(100000, 'x'),
        "",
    };
    auto item = SettingsItem();
    EXPECT_FALSE(item->Exists());
    EXPECT_FALSE(fs::exists(SettingsFolder()));

    WriteAllLines(*item, lines);

    EXPECT_TRUE(item->Exists());
    std::string expected;
    for (const auto& line : lines) {
        expected += line + "\n";
    }
    EXPECT_EQ(ReadBytes(SettingsFile()), expected);
    EXPECT_EQ(ReadAllLines(*item), lines);
}

TEST(TextInputStream, EndsLinesAtNewlineCrLfOrALoneCr) {
    const struct {
        std::string bytes;
        std::vector<std::string> lines;
    } cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\n", {"a"}},
        {"a\nb", {"a", "b"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"\n", {""}},
        {"\n\n", {"", ""}},
        {"\r\n\r\n", {"", ""}},
        {"a\n\nb", {"a", "", "b"}},
        {"a\r\rb", {"a", "", "b"}},
        {"a\n\rb", {"a", "", "b"}},
        {"a\r\r\nb", {"a", "", "b"}},
        {"a\r\n\nb", {"a", "", "b"}},
    };
    auto item = SettingsItem();
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.bytes));
        WriteBytes(SettingsFile(), c.bytes);
        EXPECT_EQ(ReadAllLines(*item), c.lines);
    }
}

// The reader takes the file in chunks; a CR at the very end of one must still see the LF that
// starts the next. The first lines' lengths put the CR at the usual chunk sizes.
TEST(TextInputStream, JoinsACrLfThatSpansTwoChunks) {
    auto item = SettingsItem();
    for (const std::size_t length : {4095u, 8191u, 16383u, 32767u, 65535u, 131071u}) {
        SCOPED_TRACE(length);
        WriteBytes(SettingsFile(), std::string(length, 'k') + "\r\nvalue\r\n\r\nlast");
        const std::vector<std::string> expected = {std::string(length, 'k'), "value", "", "last"};
        EXPECT_EQ(ReadAllLines(*item), expected);
    }
}

TEST(TextInputStream, ReadsATenMegabyteLineWhole) {
    const std::string line(10 * 1024 * 1024, 'v');
    WriteBytes(SettingsFile(), "key\n" + line);
    auto input = SettingsItem()->OpenAsTextFile();
    ASSERT_NE(input, nullptr);
    EXPECT_EQ(input->ReadLine(), "key");
    EXPECT_FALSE(input->Eof());
    EXPECT_EQ(input->ReadLine(), line);
    EXPECT_TRUE(input->Eof());
    EXPECT_EQ(input->ReadLine(), "");
}

TEST(FolderItem, GivesNoInputStreamForAMissingFileOrAFolderAndSaysWhy) {
    auto item = SettingsItem();
    EXPECT_EQ(item->OpenAsTextFile(), nullptr);
    EXPECT_EQ(item->LastError(), "No such file or directory");

    fs::create_directories(SettingsFile());
    EXPECT_TRUE(item->Exists());
    EXPECT_EQ(item->OpenAsTextFile(), nullptr);
    EXPECT_EQ(item->LastError(), "Is a directory");
}

TEST(FolderItem, GivesNoOutputStreamWhereNoFileCanBeMadeAndSaysWhy) {
    auto item = SettingsItem();
    fs::create_directories(SettingsFile());
    EXPECT_EQ(item->CreateTextFile(), nullptr);
    EXPECT_EQ(item->LastError(), "Is a directory");
    EXPECT_EQ(FolderEntries(SettingsFolder()), std::vector<std::string>{"zq8.ini"});

    fs::remove(SettingsFile());
    fs::remove(SettingsFolder());
    WriteBytes(SettingsFolder(), "a file where the folder belongs\n");
    EXPECT_EQ(item->CreateTextFile(), nullptr);
    EXPECT_EQ(item->LastError(), "Not a directory");
    EXPECT_EQ(ReadBytes(SettingsFolder()), "a file where the folder belongs\n");
}

TEST(TextOutputStream, LeavesTheOldFileWholeUntilReleased) {
    WriteBytes(SettingsFile(), "old\ncontent\n");
    auto item = SettingsItem();
    {
        auto output = item->CreateTextFile();
        ASSERT_NE(output, nullptr);
        for (int line = 0; line < 256; ++line) {
            output->WriteLine("new " + std::to_string(line));
        }
        EXPECT_EQ(ReadBytes(SettingsFile()), "old\ncontent\n");
        EXPECT_EQ(FolderEntries(SettingsFolder()).size(), 2u) << "the new file waits beside it";
    }
    const auto lines = ReadAllLines(*item);
    ASSERT_EQ(lines.size(), 256u);
    EXPECT_EQ(lines.front(), "new 0");
    EXPECT_EQ(lines.back(), "new 255");
    EXPECT_EQ(FolderEntries(SettingsFolder()), std::vector<std::string>{"zq8.ini"});
}

TEST(TextOutputStream, ReleasedByAnExceptionLeavesTheOldFileAndNoNewOne) {
    WriteBytes(SettingsFile(), "old\n");
    auto item = SettingsItem();
    try {
        auto output = item->CreateTextFile();
        ASSERT_NE(output, nullptr);
        output->WriteLine("half");
        throw std::runtime_error("cut short");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(ReadBytes(SettingsFile()), "old\n");
    EXPECT_EQ(FolderEntries(SettingsFolder()), std::vector<std::string>{"zq8.ini"});
}

// A file size limit makes the writes fail for root too, as a full disk would.
TEST(TextOutputStream, AFailedWriteLeavesTheOldFileAndNoNewOne) {
    WriteBytes(SettingsFile(), "old\n");
    zq8test::ChildProcess child([](int) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) {
            return 2;
        }
        auto output = SettingsItem()->CreateTextFile();
        if (!output) {
            return 3;
        }
        for (int line = 0; line < 256; ++line) {
            output->WriteLine(std::string(100, 'n'));
        }
        return 0;
    });
    ASSERT_EQ(child.Wait(), 0);
    EXPECT_EQ(ReadBytes(SettingsFile()), "old\n");
    EXPECT_EQ(FolderEntries(SettingsFolder()), std::vector<std::string>{"zq8.ini"});
}

TEST(TextOutputStream, ReplacesTheFileBehindALinkAndKeepsItsAccessRights) {
    const fs::path real = SettingsFolder() / "real.ini";
    WriteBytes(real, "old\n");
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink(real, SettingsFile());

    WriteAllLines(*SettingsItem(), {"new"});

    EXPECT_TRUE(fs::is_symlink(SettingsFile()));
    EXPECT_EQ(ReadBytes(real), "new\n");
    EXPECT_EQ(fs::status(real).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(FolderEntries(SettingsFolder()), (std::vector<std::string>{"real.ini", "zq8.ini"}));
}

}  // namespace
