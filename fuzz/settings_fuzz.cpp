// Any bytes as the settings file: loading, a lookup of each key the panel uses, a store and a
// reload never fail, the file written always has exactly 256 lines, and it reads back as the
// table that wrote it.
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
    config::putconfig("zq8lang", fw::Int32ToVariant(config::getint("zq8lang")));

    std::ifstream in(file, std::ios::binary);
    const std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::size_t lines = 0;
    for (char c : written) {
        lines += c == '\n';
    }
    if (lines != 256 || written.empty() || written.back() != '\n') {
        std::fprintf(stderr, "settings file written with %zu lines\n", lines);
        std::abort();
    }
    // What was written reads back as the very table that wrote it.
    const auto table = config::parray;
    config::initconfig("zq8.ini");
    if (config::parray != table) {
        std::abort();
    }
    return 0;
}
