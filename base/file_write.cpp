// Durable replacing on POSIX systems: write, fsync, rename, fsync the folder.
#include "base/file_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace orvex {

namespace {

std::string system_error_text(int error) { return std::strerror(error); }

// Writes all of bytes to fd, through short writes and interruptions.
bool write_all(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

}  // namespace

FileReplace replace_file_durably(const std::filesystem::path& target, std::string_view bytes,
                                 const std::function<void()>& before_replace) {
    FileReplace result;
    auto failed = [&](int error) {
        result.ok = false;
        result.error = system_error_text(error);
        return result;
    };

    struct stat old {};
    const bool replacing = ::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode);
    if (replacing) {
        // No write bit for anyone is the user's "read-only", which holds for
        // an administrator too; past that the system decides.
        if ((old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
            result = {false, "the file is read-only", true};
            return result;
        }
        if (::access(target.c_str(), W_OK) != 0) return failed(errno);
    }

    // A name no file or link has yet, made for this call alone (O_EXCL).
    std::string temporary = target.native() + ".XXXXXX.tmp";
    const int fd = ::mkostemps(temporary.data(), 4, O_CLOEXEC);
    if (fd < 0) return failed(errno);
    const mode_t mode = replacing ? (old.st_mode & 0777) : (S_IRUSR | S_IWUSR);
    if (::fchmod(fd, mode) != 0 || !write_all(fd, bytes) || ::fsync(fd) != 0) {
        const int error = errno;
        ::close(fd);
        ::unlink(temporary.c_str());
        return failed(error);
    }
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return failed(error);
    }
    if (before_replace) before_replace();
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return failed(error);
    }
    // The rename itself is in the folder's data.
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) folder = ".";
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return result;
}

}  // namespace orvex
