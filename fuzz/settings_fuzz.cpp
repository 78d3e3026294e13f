// Any bytes as the settings file: loading, a lookup of each key the panel uses, a store and a
// reload never fail. The store writes a file of exactly 256 lines that reads back as the table
// that wrote it, unless the key finds no room in a table whose 128 pairs hold other keys: then
// table and file stay byte for byte as they were. The head of the same bytes, stored as a port
// name, is refused, table and file unchanged, when it holds a line end, and otherwise comes
// back as it was.
#include <fcntl.h>
#include <unistd.h>
#include <algorithm>
#include <cstdint>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "framework/text.h"
#include "settings/config.h"

namespace {

std::filesystem::path Folder() {
    static const std::filesystem::path folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "zq8-fuzz-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        setenv("XDG_CONFIG_HOME", pattern.c_str(), 1);
        std::filesystem::create_directories(std::filesystem::path(pattern) / "zq8");
        return std::filesystem::path(pattern) / "zq8";
    }();
    return folder;
}

std::string FileBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The refusals' stderr lines would drown the fuzzer's own output.
void StoreQuietly(const std::string& key, const fw::Variant& value) {
    std::fflush(stderr);
    const int saved = ::dup(STDERR_FILENO);
    const int quiet = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    ::dup2(quiet, STDERR_FILENO);
    config::putconfig(key, value);
    std::fflush(stderr);
    ::dup2(saved, STDERR_FILENO);
    ::close(quiet);
    ::close(saved);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto file = Folder() / "zq8.ini";
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    }
    config::initconfig("zq8.ini");
    const char* keys[] = {"controlport", "zq8lang", "Select Port_left", "Select Port_top", ""};
    for (const char* key : keys) {
        config::getstring(key);
        config::getint(key);
    }
    const bool noRoom = config::findconfig("zq8lang") == config::kNoFreePair;
    const auto loaded = config::parray;
    StoreQuietly("zq8lang", fw::Int32ToVariant(config::getint("zq8lang")));

    const std::string written = FileBytes(file);
    if (noRoom) {
        if (config::parray != loaded ||
            written != std::string(reinterpret_cast<const char*>(data), size)) {
            std::fprintf(stderr, "a store without room changed the table or the file\n");
            std::abort();
        }
    } else {
        std::size_t lines = 0;
        for (char c : written) {
            lines += c == '\n';
        }
        if (lines != 256 || written.empty() || written.back() != '\n') {
            std::fprintf(stderr, "settings file written with %zu lines\n", lines);
            std::abort();
        }
    }
    // What was written reads back as the very table that wrote it.
    const auto table = config::parray;
    config::initconfig("zq8.ini");
    if (config::parray != table) {
        std::abort();
    }

    const std::string port(reinterpret_cast<const char*>(data), std::min<std::size_t>(size, 64));
    StoreQuietly("controlport", fw::StringToVariant(port));
    if (port.find_first_of("\r\n") != std::string::npos) {
        if (config::parray != table || FileBytes(file) != written) {
            std::abort();
        }
    } else if (config::findconfig("controlport") != config::kNoFreePair &&
               config::getstring("controlport") != port) {
        std::abort();
    }
    return 0;
}
