#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <exception>
#include <filesystem>
#include <system_error>

#include "framework/file_replacement.h"
#include "framework/files.h"
#include "framework/plain_file.h"

namespace fw {

namespace {

constexpr std::size_t kChunk = 64 * 1024;

}  // namespace

std::shared_ptr<TextOutputStream> TextOutputStream::Create(const String& path,
                                                           std::shared_ptr<String> reason) {
    // Writing through a link replaces the file it leads to, not the link itself.
    const auto target = FinalTarget(path);
    if (!target) {
        *reason = SystemReason(errno);
        return nullptr;
    }
    struct stat old {};
    const bool replacing = ::stat(target->c_str(), &old) == 0;
    if (replacing) {
        if (const auto why = NotAPlainFile(old.st_mode)) {
            *reason = *why;
            return nullptr;
        }
        // A rename needs only the folder's permission: the file's own decides, as for a write.
        // A file that no one may write is the user's word that it stays, root's power or not.
        if ((old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
            *reason = SystemReason(EACCES);
            return nullptr;
        }
        if (::faccessat(AT_FDCWD, target->c_str(), W_OK, AT_EACCESS) != 0) {
            *reason = SystemReason(errno);
            return nullptr;
        }
    }
    std::error_code ignored;  // the file's own creation below gives the reason
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    auto replacement = FileReplacement::Begin(*target, replacing ? &old : nullptr, *reason);
    if (!replacement) {
        return nullptr;
    }
    return std::make_shared<TextOutputStream>(std::move(replacement), std::move(reason));
}

TextOutputStream::TextOutputStream(std::unique_ptr<FileReplacement> replacement,
                                   std::shared_ptr<String> reason)
    : replacement_(std::move(replacement)),
      reason_(std::move(reason)),
      uncaught_(std::uncaught_exceptions()) {}

TextOutputStream::~TextOutputStream() {
    // Released while an exception unwinds: the run of lines may be incomplete.
    if (std::uncaught_exceptions() > uncaught_) {
        *reason_ = "cut short before all lines were written";
        return;
    }
    Flush();
    if (!failed_) {
        replacement_->Commit(*reason_);
    }
}

void TextOutputStream::WriteLine(const String& line) {
    if (failed_) {
        return;
    }
    buffer_ += line;
    buffer_ += '\n';
    if (buffer_.size() >= kChunk) {
        Flush();
    }
}

void TextOutputStream::Flush() {
    if (!failed_ && !replacement_->Write(buffer_, *reason_)) {
        failed_ = true;
    }
    buffer_.clear();
}

}  // namespace fw
