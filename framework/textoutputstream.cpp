#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "framework/file_replacement.h"
#include "framework/files.h"
#include "framework/plain_file.h"

namespace fw {

namespace {

constexpr std::size_t kChunk = 64 * 1024;

}  // namespace

std::shared_ptr<TextOutputStream> TextOutputStream::Create(const String& path, String& reason) {
    // Writing through a link replaces the file it leads to, not the link itself.
    const auto target = FinalTarget(path);
    if (!target) {
        reason = SystemReason(errno);
        return nullptr;
    }
    struct stat old {};
    const bool replacing = ::stat(target->c_str(), &old) == 0;
    if (replacing) {
        if (const auto why = NotAPlainFile(old.st_mode)) {
            reason = *why;
            return nullptr;
        }
        // A rename needs only the folder's permission: the file's own decides, as for a write.
        // A file that no one may write is the user's word that it stays, root's power or not.
        if ((old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
            reason = SystemReason(EACCES);
            return nullptr;
        }
        if (::faccessat(AT_FDCWD, target->c_str(), W_OK, AT_EACCESS) != 0) {
            reason = SystemReason(errno);
            return nullptr;
        }
    }
    std::error_code ignored;  // the file's own creation below gives the reason
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    auto replacement = FileReplacement::Begin(*target, replacing ? &old : nullptr, reason);
    if (!replacement) {
        return nullptr;
    }
    return std::make_shared<TextOutputStream>(std::move(replacement));
}

TextOutputStream::TextOutputStream(std::unique_ptr<FileReplacement> replacement)
    : replacement_(std::move(replacement)) {}

TextOutputStream::~TextOutputStream() = default;

void TextOutputStream::WriteLine(const String& line) {
    if (!replacement_ || !failure_.empty()) {
        return;
    }
    buffer_ += line;
    buffer_ += '\n';
    if (buffer_.size() >= kChunk) {
        Flush();
    }
}

bool TextOutputStream::Commit(String& reason) {
    if (!replacement_) {
        reason = "committed already";
        return false;
    }
    Flush();
    // Whatever the outcome, the new file is either in place now or dropped.
    const std::unique_ptr<FileReplacement> replacement = std::move(replacement_);
    if (!failure_.empty()) {
        reason = failure_;
        return false;
    }
    return replacement->Commit(reason);
}

void TextOutputStream::Flush() {
    // A write that fails leaves its reason in failure_.
    if (failure_.empty()) {
        replacement_->Write(buffer_, failure_);
    }
    buffer_.clear();
}

}  // namespace fw
