// Files and text streams: a bare file name resolved to the settings folder, line-by-line reading
// and writing, streams closed when released.
#pragma once

#include <memory>
#include <vector>

#include "framework/object.h"

namespace fw {

// Reads a text file line by line, byte for byte. A line ends at "\n", "\r\n" or a lone "\r".
// The file is read in chunks, so a caller that stops early never holds the rest of the file.
class TextInputStream {
public:
    // The stream on the file at path, or nullptr with the system's reason in `reason`.
    static std::shared_ptr<TextInputStream> Open(const String& path, String& reason);

    explicit TextInputStream(int fd);
    TextInputStream(const TextInputStream&) = delete;
    TextInputStream& operator=(const TextInputStream&) = delete;
    // Releasing the stream closes the file.
    ~TextInputStream();

    // The next line without its line end; "" once the file is used up. A read error ends the
    // file as if it had no more bytes.
    String ReadLine();
    // True once no byte follows the last line read. (Not EOF: that name is the C library's.)
    bool Eof();

private:
    bool Fill();

    int fd_;
    std::vector<char> buffer_;
    std::size_t next_ = 0;
    std::size_t end_ = 0;
    bool exhausted_ = false;
};

// Writes a text file line by line, each line followed by "\n". The lines go to a new file
// beside the target; only when the stream is released after a complete run of writes is that
// file synced and renamed over the target. Until then the old file stays whole, and a run that
// failed, or that is cut short by an exception, leaves it untouched and removes the new one.
class TextOutputStream {
public:
    // The stream that will replace the file at path, or nullptr with the system's reason in
    // `reason`. A symbolic link at path is kept: the file it points to is replaced.
    static std::shared_ptr<TextOutputStream> Create(const String& path, String& reason);

    TextOutputStream(int fd, String pending, String target);
    TextOutputStream(const TextOutputStream&) = delete;
    TextOutputStream& operator=(const TextOutputStream&) = delete;
    // Releasing the stream puts the new file in place of the old one, or drops it.
    ~TextOutputStream();

    // Write errors are kept, not raised; they make the release drop the new file.
    void WriteLine(const String& line);

private:
    void Flush();
    bool Commit();

    int fd_;
    String pending_;
    String target_;
    String buffer_;
    bool failed_ = false;
    int uncaught_;
};

// A file reached by name.
class FolderItem {
public:
    explicit FolderItem(String path) : path_(std::move(path)) {}

    const String& Path() const { return path_; }
    bool Exists() const;
    // nullptr when the file cannot be read; LastError() then says why.
    std::shared_ptr<TextInputStream> OpenAsTextFile();
    // A stream that makes a new file or replaces the old one on release; nullptr when the file
    // cannot be written, LastError() then saying why. Creates the file's folder when missing.
    std::shared_ptr<TextOutputStream> CreateTextFile();
    // The system's reason for the last open or create of this item that failed.
    const String& LastError() const { return lastError_; }

private:
    String path_;
    String lastError_;
};

// A bare file name lies in the settings folder: $XDG_CONFIG_HOME/zq8, or ~/.config/zq8 when the
// variable is unset or empty. The variable is read at every call. nullptr when no home folder
// can be found either.
std::shared_ptr<FolderItem> GetFolderItem(const String& name);

}  // namespace fw
