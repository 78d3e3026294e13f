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

    // The bytes go to a new file beside the target, which the commit renames over it from the
    // hidden name ".NAME.new". Where the file system allows, the file has no name until the
    // commit, so that a run killed while writing leaves nothing behind (kNamed: it is named at
    // once). One panel at a time writes in a settings folder, so whatever bears that name was
    // left by a run killed between naming its file and the rename: it is replaced. Where no file
    // can be made beside the target (a folder the user cannot write) an existing target is
    // rewritten in place at the commit instead. `old` is the target's state, nullptr when there
    // is none yet. nullptr, with the system's reason, when neither way is open.
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
    enum class Way { kBeside, kInPlace };

    FileReplacement(Way way, int fd, std::filesystem::path target, std::filesystem::path pending,
                    bool named);
    static std::unique_ptr<FileReplacement> BeginInPlace(const std::filesystem::path& target,
                                                         String& reason);
    bool RenameOverTarget(String& reason);
    bool RewriteTargetFromPending(String& reason);

    Way way_;
    int fd_;
    std::filesystem::path target_;
    std::filesystem::path pending_;
    // Whether pending_ names the new file on the disk, to be removed unless it was renamed.
    bool named_;
    // In place, nothing touches the target before Commit: the bytes wait here.
    String held_;
    bool failed_ = false;
};

}  // namespace fw
