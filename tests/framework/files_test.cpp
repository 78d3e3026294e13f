#include "framework/files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/file_bytes.h"
#include "tests/support/ordinary_user.h"
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

// Whether the settings folder's file system makes unnamed files, as the stream tries first.
bool UnnamedFilesWork() {
    const int fd = ::open(SettingsFolder().c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd >= 0) {
        ::close(fd);
    }
    return fd >= 0;
}

// The kind of file at path, links not followed.
fs::file_type KindAt(const fs::path& path) {
    return fs::symlink_status(path).type();
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

// Writes the lines to the item's file and commits them: "" once the file holds them, else why
// it does not.
std::string Store(fw::FolderItem& item, const std::vector<std::string>& lines) {
    auto output = item.CreateTextFile();
    if (!output) {
        return item.LastError();
    }
    for (const auto& line : lines) {
        output->WriteLine(line);
    }
    fw::String reason;
    return output->Commit(reason) ? "" : reason;
}

void WriteAllLines(fw::FolderItem& item, const std::vector<std::string>& lines) {
    ASSERT_EQ(Store(item, lines), "");
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
    // A relative folder would move with the working folder: it counts as not set.
    for (const char* notAbsolute :
         {static_cast<const char*>(nullptr), "", "relative/config", "./config", "~/.config"}) {
        SCOPED_TRACE(notAbsolute ? notAbsolute : "unset");
        ScopedEnv xdg("XDG_CONFIG_HOME", notAbsolute);
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

    ASSERT_NO_FATAL_FAILURE(WriteAllLines(*item, lines));

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
        // An editor's byte order mark before the first line is read past, and only there.
        {"\xEF\xBB\xBF", {}},
        {"\xEF\xBB\xBF\n", {""}},
        {"\xEF\xBB\xBF"
         "a\n\xEF\xBB\xBF"
         "b",
         {"a",
          "\xEF\xBB\xBF"
          "b"}},
        {"\xEF\xBB\xBF\xEF\xBB\xBF"
         "a",
         {"a"}},
        {"\xEF\xBB"
         "a",
         {"\xEF\xBB"
          "a"}},
        {"a\xEF\xBB\xBF", {"a\xEF\xBB\xBF"}},
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

// One huge line must not cost its size in memory: the rest past the limit is skipped, and the
// line still counts as one.
TEST(TextInputStream, KeepsTheFirstMebibyteOfALongerLineAndReadsOnAfterIt) {
    constexpr std::size_t kLimit = fw::TextInputStream::kMaxLine;
    auto item = SettingsItem();
    for (const std::size_t length : {kLimit - 1, kLimit, kLimit + 1, 10 * kLimit}) {
        for (const std::string lineEnd : {"\n", "\r\n", "\r"}) {
            SCOPED_TRACE(std::to_string(length) + " " + testing::PrintToString(lineEnd));
            WriteBytes(SettingsFile(), "key\n" + std::string(length, 'v') + lineEnd + "next\n");
            auto input = item->OpenAsTextFile();
            ASSERT_NE(input, nullptr);
            EXPECT_EQ(input->ReadLine(), "key");
            const std::string line = input->ReadLine();
            EXPECT_EQ(line.size(), std::min(length, kLimit));
            EXPECT_EQ(line.find_first_not_of('v'), std::string::npos);
            EXPECT_EQ(input->ReadLine(), "next");
            EXPECT_TRUE(input->Eof());
        }
    }
}

// A read that fails ends the stream where it failed, and says why, so that the caller does not
// take it for the end of the file: at the first read (a folder's descriptor), or after lines
// were read (a socket whose next read would wait).
TEST(TextInputStream, AReadThatFailsEndsTheStreamAndSaysWhy) {
    const int folder = ::open(SettingsFolder().parent_path().c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(folder, 0);
    fw::TextInputStream atOnce(folder);
    EXPECT_TRUE(atOnce.Eof());
    EXPECT_EQ(atOnce.ReadLine(), "");
    EXPECT_EQ(atOnce.ReadError(), "Is a directory");

    int ends[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0, ends), 0);
    const std::string sent = "zq8lang\n1\ncontrol";
    ASSERT_EQ(::write(ends[1], sent.data(), sent.size()), ssize_t(sent.size()));
    fw::TextInputStream midway(ends[0]);
    EXPECT_EQ(midway.ReadLine(), "zq8lang");
    EXPECT_EQ(midway.ReadLine(), "1");
    EXPECT_EQ(midway.ReadError(), "");
    EXPECT_EQ(midway.ReadLine(), "control");
    EXPECT_TRUE(midway.Eof());
    EXPECT_EQ(midway.ReadError(), "Resource temporarily unavailable");
    EXPECT_FALSE(midway.StoppedAtBound());
    ::close(ends[1]);
}

// The bound ends the file as its end would, and says whether bytes were left.
TEST(TextInputStream, ReadsNoMoreThanItsBound) {
    auto item = SettingsItem();
    const struct {
        std::string bytes;
        std::uint64_t bound;
        std::vector<std::string> lines;
        bool stopped;
    } cases[] = {
        {"ab\ncd\n", 6, {"ab", "cd"}, false},
        {"ab\ncd\n", 5, {"ab", "cd"}, true},
        {"ab\ncd\n", 3, {"ab"}, true},
        {"ab\ncd\n", 0, {}, true},
        {"", 0, {}, false},
        {std::string(200000, 'x'), 100000, {std::string(100000, 'x')}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.bytes.substr(0, 8)) + " " + std::to_string(c.bound));
        WriteBytes(SettingsFile(), c.bytes);
        auto input = item->OpenAsTextFile();
        ASSERT_NE(input, nullptr);
        input->ReadAtMost(c.bound);
        std::vector<std::string> lines;
        while (!input->Eof()) {
            lines.push_back(input->ReadLine());
        }
        EXPECT_EQ(lines, c.lines);
        EXPECT_EQ(input->StoppedAtBound(), c.stopped);
        EXPECT_EQ(input->ReadError(), "");
    }
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

TEST(TextOutputStream, LeavesTheOldFileWholeUntilCommitted) {
    WriteBytes(SettingsFile(), "old\ncontent\n");
    auto item = SettingsItem();
    auto output = item->CreateTextFile();
    ASSERT_NE(output, nullptr);
    for (int line = 0; line < 256; ++line) {
        output->WriteLine("new " + std::to_string(line));
    }
    EXPECT_EQ(ReadBytes(SettingsFile()), "old\ncontent\n");
    // Unnamed, the new file leaves nothing behind when the run is killed.
    EXPECT_EQ(FolderEntries(SettingsFolder()).size(), UnnamedFilesWork() ? 1u : 2u);

    fw::String reason;
    EXPECT_TRUE(output->Commit(reason)) << reason;
    const auto lines = ReadAllLines(*item);
    ASSERT_EQ(lines.size(), 256u);
    EXPECT_EQ(lines.front(), "new 0");
    EXPECT_EQ(lines.back(), "new 255");
    EXPECT_EQ(FolderEntries(SettingsFolder()), std::vector<std::string>{"zq8.ini"});

    // The stream is done with: nothing more reaches the file.
    output->WriteLine("late");
    EXPECT_FALSE(output->Commit(reason));
    output.reset();
    EXPECT_EQ(ReadAllLines(*item), lines);
}

// A stream released without its commit, as when an exception cuts the run of lines short.
TEST(TextOutputStream, ReleasedWithoutACommitLeavesTheOldFileAndNoNewOne) {
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
TEST(TextOutputStream, AFailedWriteLeavesTheOldFileAndNoNewOneAndSaysWhy) {
    WriteBytes(SettingsFile(), "old\n");
    zq8test::ChildProcess child([](int report) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) {
            return 2;
        }
        auto item = SettingsItem();
        const std::string reason =
            Store(*item, std::vector<std::string>(256, std::string(100, 'n')));
        return write(report, reason.data(), reason.size()) == ssize_t(reason.size()) ? 0 : 1;
    });
    EXPECT_EQ(child.ReadAll(), "File too large");
    ASSERT_EQ(child.Wait(), 0);
    EXPECT_EQ(ReadBytes(SettingsFile()), "old\n");
    EXPECT_EQ(FolderEntries(SettingsFolder()), std::vector<std::string>{"zq8.ini"});
}

TEST(TextOutputStream, ReplacesTheFileBehindALinkAndKeepsItsAccessRights) {
    const fs::path real = SettingsFolder() / "real.ini";
    WriteBytes(real, "old\n");
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink(real, SettingsFile());

    ASSERT_NO_FATAL_FAILURE(WriteAllLines(*SettingsItem(), {"new"}));

    EXPECT_TRUE(fs::is_symlink(SettingsFile()));
    EXPECT_EQ(ReadBytes(real), "new\n");
    EXPECT_EQ(fs::status(real).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(FolderEntries(SettingsFolder()), (std::vector<std::string>{"real.ini", "zq8.ini"}));
}

// A link whose file is not there yet gets it made where it points, and stays a link.
TEST(TextOutputStream, ADanglingLinkGetsItsFileCreatedThroughIt) {
    const struct {
        const char* name;
        std::vector<std::pair<std::string, std::string>> links;  // link, what it names
        std::string file;                                        // beside zq8.ini
    } cases[] = {
        {"absolute", {{"zq8.ini", "@/real.ini"}}, "real.ini"},
        {"relative", {{"zq8.ini", "real.ini"}}, "real.ini"},
        {"into a subfolder", {{"zq8.ini", "sub/real.ini"}}, "sub/real.ini"},
        {"a chain", {{"zq8.ini", "middle"}, {"middle", "@/real.ini"}}, "real.ini"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(SettingsFolder());
        fs::create_directories(SettingsFolder() / "sub");
        for (const auto& [link, named] : c.links) {
            const bool absolute = named.front() == '@';
            fs::create_symlink(absolute ? SettingsFolder().string() + named.substr(1) : named,
                               SettingsFolder() / link);
        }

        ASSERT_NO_FATAL_FAILURE(WriteAllLines(*SettingsItem(), {"new"}));

        for (const auto& [link, named] : c.links) {
            EXPECT_EQ(KindAt(SettingsFolder() / link), fs::file_type::symlink) << link;
        }
        EXPECT_EQ(KindAt(SettingsFolder() / c.file), fs::file_type::regular);
        EXPECT_EQ(ReadBytes(SettingsFolder() / c.file), "new\n");
    }
}

// Links `at` to the memory device of that minor number (3 null, 5 zero) through `node`.
void LinkToDevice(const fs::path& at, const fs::path& node, unsigned minor) {
    if (::geteuid() == 0) {
        ASSERT_EQ(::mknod(node.c_str(), S_IFCHR | 0666, makedev(1, minor)), 0);
    } else {
        fs::create_symlink(minor == 5 ? "/dev/zero" : "/dev/null", node);
    }
    fs::create_symlink(node, at);
}

// A FIFO would block the start for ever, a device would be read for ever or, under root, turned
// into a plain file: such a path is neither opened for reading nor replaced, links or not.
TEST(FolderItem, NeitherReadsNorReplacesAnythingButAPlainFile) {
    const fs::path elsewhere = fs::path(std::getenv("XDG_CONFIG_HOME")) / "elsewhere";
    const struct {
        const char* name;
        std::function<void(const fs::path&)> make;
        std::string reason;
    } cases[] = {
        {"a FIFO", [](const fs::path& at) { ASSERT_EQ(::mkfifo(at.c_str(), 0644), 0); },
         "a FIFO, not a plain file"},
        {"a link to a FIFO",
         [&](const fs::path& at) {
             ASSERT_EQ(::mkfifo(elsewhere.c_str(), 0644), 0);
             fs::create_symlink(elsewhere, at);
         },
         "a FIFO, not a plain file"},
        // Under root each device is a node private to this test, so that a store that does
        // replace it harms nothing of the machine's; an ordinary user, who may not make one,
        // meets the machine's own through a link.
        {"a link to a zero device", [&](const fs::path& at) { LinkToDevice(at, elsewhere, 5); },
         "a character device, not a plain file"},
        {"a link to a null device", [&](const fs::path& at) { LinkToDevice(at, elsewhere, 3); },
         "a character device, not a plain file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(SettingsFolder());
        fs::remove(elsewhere);
        fs::create_directories(SettingsFolder());
        ASSERT_NO_FATAL_FAILURE(c.make(SettingsFile()));
        const fs::file_type kind = KindAt(SettingsFile());
        const fs::file_type behind = fs::status(SettingsFile()).type();
        auto item = SettingsItem();

        EXPECT_EQ(item->OpenAsTextFile(), nullptr);
        EXPECT_EQ(item->LastError(), c.reason);
        EXPECT_EQ(item->CreateTextFile(), nullptr);
        EXPECT_EQ(item->LastError(), c.reason);

        EXPECT_EQ(KindAt(SettingsFile()), kind);
        EXPECT_EQ(fs::status(SettingsFile()).type(), behind);
        EXPECT_EQ(FolderEntries(SettingsFolder()), std::vector<std::string>{"zq8.ini"});
    }
}

// Root may write anything, so the cases run as an ordinary user in a child process. The rename
// needs only the folder's permission: a file the user made read-only would go all the same.
TEST(TextOutputStream, AsAnOrdinaryUserKeepsToTheFilesOwnRightsAndRewritesInPlaceIfItMust) {
    const struct {
        const char* name;
        fs::perms folder;
        std::optional<fs::perms> file;  // none: there is no file yet
        std::string reason;             // empty: the new lines are written
    } cases[] = {
        {"a read-only file in a writable folder", fs::perms(0755), fs::perms(0444),
         "Permission denied"},
        {"a writable file in a read-only folder", fs::perms(0555), fs::perms(0644), ""},
        {"a read-only file in a read-only folder", fs::perms(0555), fs::perms(0444),
         "Permission denied"},
        {"no file in a read-only folder", fs::perms(0555), std::nullopt, "Permission denied"},
    };
    zq8test::OpenConfigHomeToOrdinaryUser();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(SettingsFolder());
        fs::create_directories(SettingsFolder());
        if (c.file) {
            WriteBytes(SettingsFile(), "old\nlines\n");
            zq8test::GiveToOrdinaryUser(SettingsFile());
            fs::permissions(SettingsFile(), *c.file);
        }
        zq8test::GiveToOrdinaryUser(SettingsFolder());
        fs::permissions(SettingsFolder(), c.folder);
        struct stat before {};
        ::stat(SettingsFile().c_str(), &before);

        zq8test::ChildProcess child([](int report) {
            zq8test::BecomeOrdinaryUser();
            const std::string reason = Store(*SettingsItem(), {"new"});
            return write(report, reason.data(), reason.size()) == ssize_t(reason.size()) ? 0 : 1;
        });
        EXPECT_EQ(child.ReadAll(), c.reason);
        EXPECT_EQ(child.Wait(), 0);

        fs::permissions(SettingsFolder(), fs::perms::owner_all);
        if (c.file) {
            struct stat after {};
            ::stat(SettingsFile().c_str(), &after);
            EXPECT_EQ(ReadBytes(SettingsFile()), c.reason.empty() ? "new\n" : "old\nlines\n");
            EXPECT_EQ(after.st_ino, before.st_ino) << "the file itself, rewritten in place";
            EXPECT_EQ(fs::status(SettingsFile()).permissions(), *c.file);
            EXPECT_EQ(FolderEntries(SettingsFolder()), std::vector<std::string>{"zq8.ini"});
        } else {
            EXPECT_TRUE(FolderEntries(SettingsFolder()).empty());
        }
    }
}

// A file with no write permission for anyone is the user's word that it stays: root, who may
// write anything, leaves it as an ordinary user must. One with a write bit is root's to replace.
TEST(TextOutputStream, LeavesAFileNoOneMayWriteAloneForRootAndAnOrdinaryUser) {
    const struct {
        fs::perms mode;
        bool written;  // by root; an ordinary user (who owns the file) writes it when it has
                       // owner_write
    } cases[] = {
        {fs::perms(0444), false}, {fs::perms(0555), false}, {fs::perms(0400), false},
        {fs::perms(0644), true},  {fs::perms(0464), true},
    };
    zq8test::OpenConfigHomeToOrdinaryUser();
    for (const bool asRoot : {true, false}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(asRoot ? "root, " : "ordinary user, ") +
                         std::to_string(int(c.mode)));
            fs::remove_all(SettingsFolder());
            WriteBytes(SettingsFile(), "old\n");
            zq8test::GiveToOrdinaryUser(SettingsFolder());
            zq8test::GiveToOrdinaryUser(SettingsFile());
            fs::permissions(SettingsFile(), c.mode);

            zq8test::ChildProcess child([asRoot](int report) {
                asRoot ? zq8test::BecomeRoot() : zq8test::BecomeOrdinaryUser();
                const std::string reason = Store(*SettingsItem(), {"new"});
                return write(report, reason.data(), reason.size()) == ssize_t(reason.size()) ? 0
                                                                                             : 1;
            });
            const bool written =
                asRoot ? c.written : (c.mode & fs::perms::owner_write) != fs::perms::none;
            EXPECT_EQ(child.ReadAll(), written ? "" : "Permission denied");
            EXPECT_EQ(child.Wait(), 0);
            EXPECT_EQ(ReadBytes(SettingsFile()), written ? "new\n" : "old\n");
            EXPECT_EQ(fs::status(SettingsFile()).permissions(), c.mode);
            EXPECT_EQ(FolderEntries(SettingsFolder()), std::vector<std::string>{"zq8.ini"});
        }
    }
}

void WriteText(const char* path, const std::string& text) {
    std::ofstream(path) << text;
}

// A mount namespace for this process alone. An ordinary user first takes a user namespace in
// which they keep their own ids.
bool EnterMountNamespace() {
    if (::geteuid() == 0) {
        return ::unshare(CLONE_NEWNS) == 0;
    }
    const std::string uid = std::to_string(::geteuid());
    const std::string gid = std::to_string(::getegid());
    if (::unshare(CLONE_NEWNS | CLONE_NEWUSER) != 0) {
        return false;
    }
    WriteText("/proc/self/setgroups", "deny");
    WriteText("/proc/self/uid_map", uid + " " + uid + " 1");
    WriteText("/proc/self/gid_map", gid + " " + gid + " 1");
    return true;
}

// A file mounted on its own (a container's bind mount) cannot be renamed over: rename gives
// EBUSY. The child mounts it in a mount namespace of its own, so nothing is left mounted; an
// ordinary user takes a user namespace for the right to mount.
TEST(TextOutputStream, RewritesAFileMountedOnItsOwnInPlace) {
    const fs::path mounted = fs::path(std::getenv("XDG_CONFIG_HOME")) / "mounted.ini";
    WriteBytes(mounted, "old\n");
    WriteBytes(SettingsFile(), "under the mount\n");

    zq8test::ChildProcess child([&](int report) {
        if (!EnterMountNamespace() ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount(mounted.c_str(), SettingsFile().c_str(), nullptr, MS_BIND, nullptr) != 0) {
            return 2;
        }
        const std::string reason = Store(*SettingsItem(), {"new", "lines"});
        const std::string said = reason + "|" + ReadBytes(SettingsFile());
        return write(report, said.data(), said.size()) == ssize_t(said.size()) ? 0 : 1;
    });
    EXPECT_EQ(child.ReadAll(), "|new\nlines\n");
    ASSERT_EQ(child.Wait(), 0);

    EXPECT_EQ(ReadBytes(mounted), "new\nlines\n");
    EXPECT_EQ(ReadBytes(SettingsFile()), "under the mount\n");
    EXPECT_EQ(FolderEntries(SettingsFolder()), std::vector<std::string>{"zq8.ini"});
}

}  // namespace
