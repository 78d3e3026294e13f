#include "settings/config.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <limits>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "framework/files.h"
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

// The file as the store writes it: the entries given, then empty lines up to 256.
std::string StoredFile(const std::vector<std::string>& entries) {
    std::string bytes;
    for (std::size_t n = 0; n < 256; ++n) {
        bytes += (n < entries.size() ? entries[n] : "") + "\n";
    }
    return bytes;
}

std::string Joined(const std::vector<std::string>& lines, const std::string& lineEnd = "\n") {
    std::string bytes;
    for (const auto& line : lines) {
        bytes += line + lineEnd;
    }
    return bytes;
}

class ConfigStore : public testing::Test {
protected:
    // The module state as the framework sets it up before any window opens.
    void SetUp() override {
        config::parray.fill("");
        config::filename.reset();
        config::cfound = false;
    }

    static void Load(const std::string& bytes) {
        WriteBytes(SettingsFile(), bytes);
        config::initconfig("zq8.ini");
    }
};

TEST_F(ConfigStore, FirstStartCreatesTheFileOnlyAtTheFirstStore) {
    config::initconfig("zq8.ini");
    EXPECT_FALSE(fs::exists(SettingsFolder()));
    EXPECT_EQ(config::getint("zq8lang"), 0);
    EXPECT_FALSE(config::cfound);

    config::putconfig("zq8lang", fw::Int32ToVariant(0));
    EXPECT_EQ(ReadBytes(SettingsFile()), StoredFile({"zq8lang", "0"}));

    config::putconfig("controlport", fw::StringToVariant("/dev/ttyUSB0"));
    config::putconfig("zq8lang", fw::Int32ToVariant(1));
    EXPECT_EQ(ReadBytes(SettingsFile()),
              StoredFile({"zq8lang", "1", "controlport", "/dev/ttyUSB0"}));
    EXPECT_EQ(FolderEntries(SettingsFolder()), std::vector<std::string>{"zq8.ini"});
}

TEST_F(ConfigStore, AThreeLineFileGivesAKeyWithAnEmptyValue) {
    Load("controlport\n/dev/ttyS0\nzq8lang\n");

    EXPECT_EQ(config::getstring("controlport"), "/dev/ttyS0");
    EXPECT_TRUE(config::cfound);
    EXPECT_EQ(config::findconfig("zq8lang"), 1);
    EXPECT_TRUE(config::cfound);
    EXPECT_EQ(config::getstring("zq8lang"), "");
    EXPECT_TRUE(config::cfound);
    EXPECT_EQ(config::getint("zq8lang"), 0);
    EXPECT_TRUE(config::cfound);
    EXPECT_EQ(config::findconfig("Select Port_left"), 2);
    EXPECT_FALSE(config::cfound);
    // Keys match byte for byte, letter case included.
    EXPECT_EQ(config::getstring("ZQ8LANG"), "");
    EXPECT_FALSE(config::cfound);
    for (std::size_t n = 3; n < config::parray.size(); ++n) {
        ASSERT_EQ(config::parray[n], "") << "entry " << n;
    }
}

TEST_F(ConfigStore, TheEmptyKeyIsNeverFound) {
    config::initconfig("zq8.ini");
    EXPECT_EQ(config::findconfig(""), 0);
    EXPECT_FALSE(config::cfound);

    Load("zq8lang\n0\ncontrolport\n\n");
    config::cfound = true;
    EXPECT_EQ(config::getstring(""), "");
    EXPECT_FALSE(config::cfound);
    EXPECT_EQ(config::findconfig(""), 2);
}

TEST_F(ConfigStore, ANewKeyTakesTheFirstFreePairAndPairsPastAGapStayUnfound) {
    Load(Joined({"a", "1", "", "", "", "", "b", "2"}));
    EXPECT_EQ(config::getstring("b"), "");
    EXPECT_FALSE(config::cfound);

    config::putconfig("c", fw::StringToVariant("3"));
    config::putconfig("a", fw::StringToVariant("changed"));

    EXPECT_EQ(ReadBytes(SettingsFile()), StoredFile({"a", "changed", "c", "3", "", "", "b", "2"}));
    EXPECT_EQ(config::getstring("b"), "");
    EXPECT_FALSE(config::cfound);
}

TEST_F(ConfigStore, ALongFileLoadsItsFirst256LinesAndIsWrittenBackWith256) {
    std::vector<std::string> lines;
    for (int n = 1; n <= 300; ++n) {
        lines.push_back("line" + std::to_string(n));
    }
    Load(Joined(lines));
    EXPECT_EQ(config::parray[255], "line256");

    config::putconfig("line1", fw::StringToVariant("changed"));

    lines.resize(256);
    lines[1] = "changed";
    EXPECT_EQ(ReadBytes(SettingsFile()), Joined(lines));
}

TEST_F(ConfigStore, LoadsCrLfAndLoneCrFilesAndWritesThemBackWithNewlines) {
    for (const std::string lineEnd : {"\n", "\r\n", "\r"}) {
        SCOPED_TRACE(testing::PrintToString(lineEnd));
        Load(Joined({"zq8lang", "1", "controlport", "/dev/ttyS0"}, lineEnd));
        EXPECT_EQ(config::getint("zq8lang"), 1);
        EXPECT_EQ(config::getstring("controlport"), "/dev/ttyS0");

        config::putconfig("zq8lang", fw::Int32ToVariant(0));
        EXPECT_EQ(ReadBytes(SettingsFile()),
                  StoredFile({"zq8lang", "0", "controlport", "/dev/ttyS0"}));
    }
}

TEST_F(ConfigStore, AnIntegerComesBackAsItWasStored) {
    using Int32 = std::numeric_limits<std::int32_t>;
    for (const std::int32_t value : {0, 1, -1, 42, -7, Int32::max(), Int32::min()}) {
        SCOPED_TRACE(value);
        config::initconfig("zq8.ini");
        config::putconfig("zq8lang", fw::Int32ToVariant(value));
        EXPECT_EQ(ReadBytes(SettingsFile()), StoredFile({"zq8lang", std::to_string(value)}));

        config::initconfig("zq8.ini");
        EXPECT_EQ(config::getint("zq8lang"), value);
        EXPECT_TRUE(config::cfound);
    }
}

TEST_F(ConfigStore, ReadsAnyStoredTextAsAnInteger) {
    using Int32 = std::numeric_limits<std::int32_t>;
    const struct {
        std::string text;
        std::int32_t value;
    } cases[] = {
        {"12abc", 12},
        {" -3", -3},
        {"abc", 0},
        {"99999999999", Int32::max()},
        {"-99999999999", Int32::min()},
        {std::string(5000, '9'), Int32::max()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 20));
        Load(Joined({"zq8lang", c.text}));
        EXPECT_EQ(config::getint("zq8lang"), c.value);
        EXPECT_TRUE(config::cfound);
    }
}

TEST_F(ConfigStore, AFullTableTakesNoNewKeySaysSoOncePerKeyAndLeavesTheFileAlone) {
    std::vector<std::string> entries;
    for (int k = 0; k < 128; ++k) {
        entries.push_back("k" + std::to_string(k));
        entries.push_back("v" + std::to_string(k));
    }
    // Past the 256 lines the table holds: the file stays as it is, these lines included.
    Load(Joined(entries) + "line 257\n");
    const auto before = config::parray;
    const std::string fileBefore = ReadBytes(SettingsFile());

    EXPECT_EQ(config::findconfig("zq8lang"), config::kNoFreePair);
    EXPECT_FALSE(config::cfound);
    EXPECT_EQ(config::getstring("zq8lang"), "");
    testing::internal::CaptureStderr();
    config::putconfig("zq8lang", fw::Int32ToVariant(1));
    config::putconfig("zq8lang", fw::Int32ToVariant(0));
    config::putconfig("Select Port_left", fw::Int32ToVariant(40));
    config::putconfig("zq8lang", fw::Int32ToVariant(1));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "zq8: not stored: no pair is free for \"zq8lang\", all 128 hold other keys\n"
              "zq8: not stored: no pair is free for \"Select Port_left\", all 128 hold other "
              "keys\n");
    EXPECT_EQ(config::parray, before);
    EXPECT_EQ(ReadBytes(SettingsFile()), fileBefore);

    // A key that has its pair is stored as ever; the refusals are not told again after it.
    EXPECT_EQ(config::getstring("k127"), "v127");
    testing::internal::CaptureStderr();
    config::putconfig("k127", fw::StringToVariant("last"));
    config::putconfig("zq8lang", fw::Int32ToVariant(1));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    entries.back() = "last";
    EXPECT_EQ(ReadBytes(SettingsFile()), Joined(entries));
}

TEST_F(ConfigStore, AStoreBeforeLoadingKeepsThePairInTheTableAndWritesNothing) {
    config::putconfig("zq8lang", fw::Int32ToVariant(1));
    EXPECT_EQ(config::getint("zq8lang"), 1);
    EXPECT_TRUE(config::cfound);
    EXPECT_FALSE(fs::exists(SettingsFolder()));
}

TEST_F(ConfigStore, KeepsEveryByteOfWhatItLoads) {
    const std::string key("port\xFF\0name", 10);
    const std::string value(fw::TextInputStream::kMaxLine, '\0');
    const std::string other = "caf\xC3\xA9 \x80\xFE";
    Load(Joined({key, value, "other", other}));
    EXPECT_EQ(config::getstring(key), value);
    EXPECT_EQ(config::getstring("other"), other);

    config::putconfig("zq8lang", fw::Int32ToVariant(0));
    EXPECT_EQ(ReadBytes(SettingsFile()), StoredFile({key, value, "other", other, "zq8lang", "0"}));
}

// The bytes this thread has read so far.
std::uint64_t BytesReadByThisThread() {
    std::ifstream io("/proc/thread-self/io");
    for (std::string field; io >> field;) {
        std::uint64_t value = 0;
        io >> value;
        if (field == "rchar:") {
            return value;
        }
    }
    throw std::runtime_error("no rchar in /proc/thread-self/io");
}

// Past its million lines the file runs on for 64 GiB without taking disk space: a reader that
// took in more than it needs would not get through it.
TEST_F(ConfigStore, LoadsOnlyTheHeadOfAHugeFile) {
    std::string bytes;
    for (int n = 0; n < 1000000; ++n) {
        bytes += "k" + std::to_string(n) + "\n";
    }
    WriteBytes(SettingsFile(), bytes);
    fs::resize_file(SettingsFile(), bytes.size() + (std::uintmax_t{64} << 30));

    testing::internal::CaptureStderr();
    const std::uint64_t before = BytesReadByThisThread();
    config::initconfig("zq8.ini");
    EXPECT_LT(BytesReadByThisThread() - before, std::uint64_t{1} << 20);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(config::parray[0], "k0");
    EXPECT_EQ(config::parray[255], "k255");
    EXPECT_EQ(config::getstring("k254"), "k255");
}

// No line end for 10 GiB: every byte past 256 lines of the longest kept would be skipped, so
// reading ends there, with one line, and what it read stays in the table.
TEST_F(ConfigStore, StopsReadingAFileWhereNoMoreOfItsLinesCanLie) {
    constexpr std::uint64_t kMostRead = 256 * (fw::TextInputStream::kMaxLine + 2);
    const struct {
        const char* name;
        std::string head;
        std::uint64_t tail;  // NUL bytes without a line end after the head
    } cases[] = {
        {"nothing but the long line", "", std::uint64_t{10} << 30},
        {"pairs before it", "zq8lang\n1\ncontrolport\n/dev/ttyS0\n", std::uint64_t{10} << 30},
        {"ending a byte past the bound", "zq8lang\n1\n", kMostRead + 1 - 10},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(SettingsFile(), c.head);
        fs::resize_file(SettingsFile(), c.head.size() + c.tail);

        testing::internal::CaptureStderr();
        const std::uint64_t before = BytesReadByThisThread();
        config::initconfig("zq8.ini");
        const std::uint64_t read = BytesReadByThisThread() - before;
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  "zq8: stopped reading " + SettingsFile().string() +
                      " after 256 MiB: no more of its first 256 lines can be read\n");
        // The slack is the reading of /proc/thread-self/io itself.
        EXPECT_LE(read, kMostRead + 4096);
        EXPECT_GE(read, kMostRead);

        const std::size_t longLine = std::count(c.head.begin(), c.head.end(), '\n');
        EXPECT_EQ(config::parray[longLine], std::string(fw::TextInputStream::kMaxLine, '\0'));
        EXPECT_EQ(config::getint("zq8lang"), c.head.empty() ? 0 : 1);
        for (std::size_t n = longLine + 1; n < config::parray.size(); ++n) {
            ASSERT_EQ(config::parray[n], "") << "entry " << n;
        }
    }
    // A file that ends at the bound itself holds every byte its lines could: no line is told.
    WriteBytes(SettingsFile(), "");
    fs::resize_file(SettingsFile(), kMostRead);
    testing::internal::CaptureStderr();
    config::initconfig("zq8.ini");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

// A byte order mark that an editor put before the first key is no part of it; the rest of the
// file is kept byte for byte, a mark at the start of a later line included.
TEST_F(ConfigStore, ReadsPastAByteOrderMarkBeforeTheFirstKey) {
    const std::string mark = "\xEF\xBB\xBF";
    for (const std::string& marks : {mark, mark + mark}) {
        SCOPED_TRACE(marks.size() / 3);
        Load(marks + Joined({"zq8lang", "1", mark + "controlport", mark + "/dev/ttyS0"}, "\r\n"));
        EXPECT_EQ(config::getint("zq8lang"), 1);
        EXPECT_TRUE(config::cfound);
        EXPECT_EQ(config::getstring(mark + "controlport"), mark + "/dev/ttyS0");

        config::putconfig("zq8lang", fw::Int32ToVariant(1));
        EXPECT_EQ(ReadBytes(SettingsFile()),
                  StoredFile({"zq8lang", "1", mark + "controlport", mark + "/dev/ttyS0"}));
    }
}

// The rest of an overlong line is skipped, so the pairs after it keep their places.
TEST_F(ConfigStore, ALineLongerThanAMebibyteKeepsItsHeadAndThePairsAfterItStayInPlace) {
    const std::size_t limit = fw::TextInputStream::kMaxLine;
    Load(Joined({"controlport", std::string(3 * limit, 'p'), "zq8lang", "1"}));
    EXPECT_EQ(config::getstring("controlport"), std::string(limit, 'p'));
    EXPECT_EQ(config::getint("zq8lang"), 1);

    config::putconfig("zq8lang", fw::Int32ToVariant(0));
    EXPECT_EQ(ReadBytes(SettingsFile()),
              StoredFile({"controlport", std::string(limit, 'p'), "zq8lang", "0"}));
}

// Whatever the file holds cannot be known, so it is never replaced: one line says so, and the
// panel goes on with an empty table in memory.
TEST_F(ConfigStore, AFileThatCannotBeReadLeavesAnEmptyTableAndIsNeverReplaced) {
    const struct {
        const char* name;
        void (*make)(const fs::path&);
        std::string reason;
    } cases[] = {
        {"a folder", [](const fs::path& at) { fs::create_directories(at); }, "Is a directory"},
        {"a FIFO",
         [](const fs::path& at) {
             fs::create_directories(at.parent_path());
             ASSERT_EQ(::mkfifo(at.c_str(), 0644), 0);
         },
         "a FIFO, not a plain file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(SettingsFolder());
        config::initconfig("other.ini");
        config::parray[0] = "left over";
        c.make(SettingsFile());
        const fs::file_type kind = fs::symlink_status(SettingsFile()).type();

        testing::internal::CaptureStderr();
        config::initconfig("zq8.ini");
        config::putconfig("zq8lang", fw::Int32ToVariant(1));
        config::putconfig("controlport", fw::StringToVariant("/dev/ttyS0"));
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  "zq8: cannot read " + SettingsFile().string() + ": " + c.reason +
                      "; it is left as it is, and no setting is saved\n");

        EXPECT_EQ(config::filename, "zq8.ini");
        EXPECT_EQ(config::getint("zq8lang"), 1);
        EXPECT_EQ(config::parray[0], "zq8lang") << "the table started empty";
        EXPECT_EQ(fs::symlink_status(SettingsFile()).type(), kind);
        EXPECT_EQ(FolderEntries(SettingsFolder()), std::vector<std::string>{"zq8.ini"});
    }
}

// The kernel's own read error: the memory of this process at address 0, which is never mapped,
// read through a link. A read that fails is no end of the file, and whatever the file holds is
// unknown: it is left as it is, however the run goes on.
TEST_F(ConfigStore, AReadThatFailsLeavesAnEmptyTableAndTheFileAsItIs) {
    fs::create_directories(SettingsFolder());
    fs::create_symlink("/proc/self/mem", SettingsFile());

    testing::internal::CaptureStderr();
    config::initconfig("zq8.ini");
    config::putconfig("zq8lang", fw::Int32ToVariant(1));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "zq8: cannot read " + SettingsFile().string() +
                  ": Input/output error; it is left as it is, and no setting is saved\n");
    EXPECT_EQ(config::getint("zq8lang"), 1);
    EXPECT_EQ(config::parray[0], "zq8lang");
    EXPECT_EQ(fs::read_symlink(SettingsFile()), "/proc/self/mem");
    EXPECT_EQ(FolderEntries(SettingsFolder()), std::vector<std::string>{"zq8.ini"});
}

// The settings folder replaced by a file while the panel runs: each store fails, says so once,
// keeps its pair in memory, and the first store after the folder is back writes them all.
TEST_F(ConfigStore, AStoreThatCannotWriteSaysSoOnceKeepsThePairAndTriesAgain) {
    config::initconfig("zq8.ini");
    const std::string failure =
        "zq8: cannot write " + SettingsFile().string() + ": Not a directory\n";
    WriteBytes(SettingsFolder(), "a file where the settings folder belongs\n");

    testing::internal::CaptureStderr();
    config::putconfig("zq8lang", fw::Int32ToVariant(1));
    config::putconfig("zq8lang", fw::Int32ToVariant(0));
    config::putconfig("controlport", fw::StringToVariant("/dev/ttyS0"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), failure);
    EXPECT_EQ(config::getstring("controlport"), "/dev/ttyS0");
    EXPECT_EQ(ReadBytes(SettingsFolder()), "a file where the settings folder belongs\n");

    fs::remove(SettingsFolder());
    testing::internal::CaptureStderr();
    config::putconfig("Select Port_left", fw::Int32ToVariant(40));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(ReadBytes(SettingsFile()),
              StoredFile({"zq8lang", "0", "controlport", "/dev/ttyS0", "Select Port_left", "40"}));

    // A store that worked ends the spell: the same failure later is told again.
    fs::remove_all(SettingsFolder());
    WriteBytes(SettingsFolder(), "again\n");
    testing::internal::CaptureStderr();
    config::putconfig("zq8lang", fw::Int32ToVariant(1));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), failure);
}

// Root writes anything; the store runs as an ordinary user in a child process to meet a file
// that user made read-only, in a folder they cannot write either.
TEST_F(ConfigStore, AFileTheUserCannotWriteIsLeftAsItWasAndTheStoreSaysWhy) {
    const std::string old = StoredFile({"zq8lang", "0", "controlport", "/dev/ttyS0"});
    WriteBytes(SettingsFile(), old);
    zq8test::OpenConfigHomeToOrdinaryUser();
    zq8test::GiveToOrdinaryUser(SettingsFolder());
    zq8test::GiveToOrdinaryUser(SettingsFile());
    fs::permissions(SettingsFile(), fs::perms(0444));
    fs::permissions(SettingsFolder(), fs::perms(0555));

    zq8test::ChildProcess child([](int report) {
        zq8test::BecomeOrdinaryUser();
        // What the store says goes to the parent.
        if (::dup2(report, STDERR_FILENO) < 0) {
            return 2;
        }
        config::initconfig("zq8.ini");
        config::putconfig("zq8lang", fw::Int32ToVariant(1));
        config::putconfig("zq8lang", fw::Int32ToVariant(0));
        return config::getstring("controlport") == "/dev/ttyS0" && config::getint("zq8lang") == 0
                   ? 0
                   : 3;
    });
    const std::string said = child.ReadAll();
    const int status = child.Wait();
    fs::permissions(SettingsFolder(), fs::perms::owner_all);
    EXPECT_EQ(status, 0);

    EXPECT_EQ(said, "zq8: cannot write " + SettingsFile().string() + ": Permission denied\n");
    EXPECT_EQ(ReadBytes(SettingsFile()), old);
    EXPECT_EQ(FolderEntries(SettingsFolder()), std::vector<std::string>{"zq8.ini"});
}

// Nothing in the file escapes a line end: such a value would shift every pair after it.
TEST_F(ConfigStore, AKeyOrValueHoldingALineBreakIsNeverStored) {
    const struct {
        std::string key;
        std::string value;
        std::string said;
    } cases[] = {
        {"controlport", "/dev/tty\nS0", "the value for \"controlport\" holds a line break"},
        {"controlport", "/dev/ttyS0\r", "the value for \"controlport\" holds a line break"},
        {"controlport", "\r\n", "the value for \"controlport\" holds a line break"},
        {"zq8\nlang", "1", "a key holds a line break"},
    };
    Load(StoredFile({"zq8lang", "0", "controlport", "/dev/ttyUSB0"}));
    const auto table = config::parray;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.key + "=" + c.value));
        testing::internal::CaptureStderr();
        config::putconfig(c.key, fw::StringToVariant(c.value));
        config::putconfig(c.key, fw::StringToVariant(c.value));
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "zq8: not stored: " + c.said + "\n");
        EXPECT_EQ(config::parray, table);
        EXPECT_EQ(ReadBytes(SettingsFile()),
                  StoredFile({"zq8lang", "0", "controlport", "/dev/ttyUSB0"}));
        // A store that works ends the spell, so the next case is told again.
        config::putconfig("zq8lang", fw::Int32ToVariant(0));
    }
}

// A value that shows whether it was written whole: its length, a repeated digit and its number.
std::string Marked(int round) {
    return std::string(200000, static_cast<char>('0' + round % 10)) + ":" + std::to_string(round);
}

// The round whose marked value the file holds, or -1 when it is not a whole file of the store.
int MarkedRound(const std::string& bytes) {
    const std::string prefix = "n\n";
    if (bytes.compare(0, prefix.size(), prefix) != 0) {
        return -1;
    }
    const std::size_t valueEnd = bytes.find('\n', prefix.size());
    if (valueEnd == std::string::npos || bytes.substr(valueEnd) != std::string(255, '\n')) {
        return -1;
    }
    const std::string value = bytes.substr(prefix.size(), valueEnd - prefix.size());
    const std::size_t colon = value.find(':');
    if (colon == std::string::npos) {
        return -1;
    }
    const int round = std::stoi(value.substr(colon + 1));
    return Marked(round) == value ? round : -1;
}

// The kills' moments are drawn at random, from a seed the run prints; ZQ8_TEST_SEED gives one
// back to replay a failure.
std::uint32_t KillMomentsSeed() {
    const char* given = std::getenv("ZQ8_TEST_SEED");
    const std::uint32_t seed =
        given != nullptr ? static_cast<std::uint32_t>(std::stoul(given)) : std::random_device{}();
    std::cout << "kill moments drawn from seed " << seed << " (replay: ZQ8_TEST_SEED=" << seed
              << ")\n";
    return seed;
}

TEST_F(ConfigStore, AStoreKilledAtAnyMomentLeavesTheOldFileOrTheNewOne) {
    config::initconfig("zq8.ini");
    config::putconfig("n", fw::StringToVariant(Marked(0)));
    const std::uint32_t seed = KillMomentsSeed();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> pause(0, 20000);

    for (int kill = 0; kill < 30; ++kill) {
        SCOPED_TRACE(kill);
        zq8test::ChildProcess child([](int report) {
            config::initconfig("zq8.ini");
            for (int round = 1; round < 5000; ++round) {
                config::putconfig("n", fw::StringToVariant(Marked(round)));
                if (round == 1 && write(report, "1", 1) != 1) {
                    return 1;
                }
            }
            return 0;
        });
        // The kill lands after the first whole store, somewhere in the run of later ones.
        ASSERT_EQ(child.Read(1), "1");
        std::this_thread::sleep_for(std::chrono::microseconds(pause(random)));
        child.Kill();
        child.Wait();

        ASSERT_GE(MarkedRound(ReadBytes(SettingsFile())), 1);
    }
    // Whatever pending file a kill left behind, the next store removes it.
    config::putconfig("n", fw::StringToVariant(Marked(0)));
    EXPECT_EQ(FolderEntries(SettingsFolder()), std::vector<std::string>{"zq8.ini"});
}

}  // namespace
