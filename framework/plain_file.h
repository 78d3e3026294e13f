// What the file services make sure of before they read or replace a path: only a plain file is
// either, and a link leads to the file it names, which need not exist yet.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>

#include "framework/object.h"

namespace fw {

// The system's words for an errno value ("Permission denied").
String SystemReason(int error);
// Why a file of this mode is neither read nor replaced; nothing for a plain file. A FIFO would
// block, a device could be read for ever or turned into a plain file.
std::optional<String> NotAPlainFile(mode_t mode);
// Where the chain of links at path ends: the file that reading or writing through path reaches,
// or would create. path itself when it is no link; nothing, with errno set, for a loop of links.
std::optional<std::filesystem::path> FinalTarget(const std::filesystem::path& path);

}  // namespace fw
