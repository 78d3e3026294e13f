// The I/O behind TextOutputStream: new bytes put in place of a file so that a reader meets the
// old file whole or the new one whole, and a run cut short leaves nothing behind.
#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <memory>
#include <string_view>

#include "framework/object.h"

namespace fw {

class FileReplacement {
public:
    enum class Pending { kUnnamedWherePossible, kNamed };

    // The bytes go to a file beside the target: an unnamed one where the file system allows
    // it, so that a killed run leaves no file behind, else one under the hidden name
    // ".NAME.PID-N" (kNamed: that one alone). Where no file can be made beside it (a folder the
    // user cannot write) an existing target is rewritten in place instead. `old` is the
    // target's state, nullptr when there is none yet. First removes what runs that are gone
    // left behind. nullptr, with the system's reason, when neither way is open.
    static std::unique_ptr<FileReplacement> Begin(const std::filesystem::path& target,
                                                  const struct stat* old, String& reason,
                                                  Pending pending = Pending::kUnnamedWherePossible);
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;
    // Drops whatever was not committed; the target stays as it was.
    ~FileReplacement();

    // False, with the reason, once a write has failed; later writes are ignored.
    bool Write(std::string_view bytes, String& reason);
    // Puts the bytes written in the target's place. A target that cannot be renamed over (a
    // file mounted on its own) is rewritten in place. False, with the reason, when the target
    // could not be given the new bytes.
    bool Commit(String& reason);

private:
    enum class Way { kUnnamed, kNamed, kInPlace };

    FileReplacement(Way way, int fd, std::filesystem::path target, std::filesystem::path pending);
    static std::unique_ptr<FileReplacement> BeginInPlace(const std::filesystem::path& target,
                                                         String& reason);
    // The pending files beside target whose run is gone.
    static void RemoveLeftovers(const std::filesystem::path& target);
    bool RenameOverTarget(String& reason);
    bool NamePending();
    bool RewriteTargetFromPending(String& reason);

    Way way_;
    int fd_;
    std::filesystem::path target_;
    std::filesystem::path pending_;
    // In place, nothing touches the target before Commit: the bytes wait here.
    String held_;
    bool failed_ = false;
};

}  // namespace fw
