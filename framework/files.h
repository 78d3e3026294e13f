// Files and text streams: a bare file name resolved to the settings folder, line-by-line reading
// and writing, streams closed when released and written lines put in place by a commit. Only a
// plain file is read or replaced: a FIFO, a device or a folder at the path, or at the end of its
// links, is refused untouched.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "framework/object.h"

namespace fw {

class FileReplacement;

// Reads a text file line by line, byte for byte. A line ends at "\n", "\r\n" or a lone "\r". A
// byte order mark at the file's start is an editor's mark, not text: it is read past. The file
// is read in chunks, so a caller that stops early never holds the rest of the file.
class TextInputStream {
public:
    // The longest line kept: the rest of a longer one is skipped up to its line end.
    static constexpr std::size_t kMaxLine = std::size_t{1} << 20;

    // The stream on the plain file at path, or nullptr with the reason in `reason`.
    static std::shared_ptr<TextInputStream> Open(const String& path, String& reason);

    explicit TextInputStream(int fd);
    TextInputStream(const TextInputStream&) = delete;
    TextInputStream& operator=(const TextInputStream&) = delete;
    // Releasing the stream closes the file.
    ~TextInputStream();

    // Reads no more than `bytes` of the file: as kMaxLine bounds the memory a line takes, this
    // bounds the time a file without line ends takes. The file then ends there.
    void ReadAtMost(std::uint64_t bytes);
    // The next line without its line end, at most kMaxLine bytes of it; "" once the file is
    // used up.
    String ReadLine();
    // True once no byte follows the last line read. (Not EOF: that name is the C library's.)
    bool Eof();
    // Why a read failed, which ends the file there; empty while none has.
    const String& ReadError() const { return readError_; }
    // True once the bound of ReadAtMost ended the file with bytes still to come.
    bool StoppedAtBound() const { return stoppedAtBound_; }

private:
    bool Fill();
    bool More() { return next_ < end_ || Fill(); }
    void SkipByteOrderMarks();

    int fd_;
    std::vector<char> buffer_;
    std::size_t next_ = 0;
    std::size_t end_ = 0;
    std::uint64_t left_ = UINT64_MAX;
    bool exhausted_ = false;
    bool atStart_ = true;
    bool stoppedAtBound_ = false;
    String readError_;
};

// Writes a text file line by line, each line followed by "\n". The lines go to a new file
// beside the target, which Commit syncs and renames over the target. Until then the old file
// stays whole, and a stream released without a commit (after a write failed, or cut short by an
// exception) leaves it untouched and leaves no new file. Where the rename cannot work (a folder
// the user cannot write, a file mounted on its own) the commit rewrites the target in place.
class TextOutputStream {
public:
    // The stream that will replace the file at path, or nullptr with the reason in `reason`. A
    // link at path is kept: the file it leads to is replaced, or created when it is not there
    // yet. A file the user may not write is refused, even where the folder would allow
    // replacing it, and so is a file that no one may write, even for root.
    static std::shared_ptr<TextOutputStream> Create(const String& path, String& reason);

    explicit TextOutputStream(std::unique_ptr<FileReplacement> replacement);
    TextOutputStream(const TextOutputStream&) = delete;
    TextOutputStream& operator=(const TextOutputStream&) = delete;
    // Releasing the stream drops a new file that was not committed.
    ~TextOutputStream();

    // Write errors are kept, not raised: the commit gives them.
    void WriteLine(const String& line);
    // Puts the lines written in the file's place. False, with the reason, when a write failed
    // or the file could not be replaced: it then keeps its old bytes. Once committed, the
    // stream takes no more lines.
    [[nodiscard]] bool Commit(String& reason);

private:
    void Flush();

    std::unique_ptr<FileReplacement> replacement_;
    String buffer_;
    // The first write that failed, which the commit reports.
    String failure_;
};

// A file reached by name.
class FolderItem {
public:
    explicit FolderItem(String path) : path_(std::move(path)) {}

    const String& Path() const { return path_; }
    bool Exists() const;
    // nullptr when the file cannot be read; LastError() then says why.
    std::shared_ptr<TextInputStream> OpenAsTextFile();
    // A stream that makes a new file or replaces the old one at its commit; nullptr when the
    // file cannot be written, LastError() then saying why. Creates the file's folder when
    // missing.
    std::shared_ptr<TextOutputStream> CreateTextFile();
    // Why the last open or create of this item failed; empty when it worked.
    const String& LastError() const { return lastError_; }

private:
    String path_;
    String lastError_;
};

// A bare file name lies in the settings folder: $XDG_CONFIG_HOME/zq8, or ~/.config/zq8 when the
// variable is unset, empty or not an absolute path. The variable is read at every call. nullptr
// when no home folder can be found either.
std::shared_ptr<FolderItem> GetFolderItem(const String& name);

}  // namespace fw
