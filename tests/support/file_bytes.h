// Files as plain bytes, as the tests lay them out and inspect them.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace zq8test {

// The file's bytes; throws when it cannot be read.
std::string ReadBytes(const std::filesystem::path& path);
// Replaces the file with these bytes, making its folder first.
void WriteBytes(const std::filesystem::path& path, const std::string& bytes);
// The names in a folder, sorted.
std::vector<std::string> FolderEntries(const std::filesystem::path& folder);

}  // namespace zq8test
