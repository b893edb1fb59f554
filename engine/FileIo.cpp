#include "engine/FileIo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace brellow {
namespace {

FileResult Failure(bool opened, int error) {
    return {false, opened, std::strerror(error)};
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

FileResult WriteInPlace(const std::string& path, std::string_view bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return Failure(false, errno);
    if (!WriteAll(fd, bytes)) {
        const int error = errno;
        ::close(fd);
        return Failure(true, error);
    }
    if (::close(fd) != 0) return Failure(true, errno);
    return {};
}

mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

FileResult WriteFileAtomically(const std::string& path, std::string_view bytes) {
    if (path.empty()) return Failure(false, ENOENT);
    std::string target = path;
    struct stat info {};
    bool exists = ::lstat(path.c_str(), &info) == 0;
    if (exists && S_ISLNK(info.st_mode)) {
        // Replace the file the link names, not the link.
        char resolved[PATH_MAX];
        if (::realpath(path.c_str(), resolved) == nullptr) return WriteInPlace(path, bytes);
        target = resolved;
        exists = ::stat(target.c_str(), &info) == 0;
    }
    if (exists && !S_ISREG(info.st_mode)) return WriteInPlace(target, bytes);

    const std::size_t slash = target.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string temp = dir + (slash == std::string::npos ? "/." : ".") + name + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return Failure(false, errno);

    const mode_t mode = exists ? (info.st_mode & 07777) : NewFileMode();
    int error = 0;
    if (::fchmod(fd, mode) != 0 || !WriteAll(fd, bytes) || ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && ::rename(temp.c_str(), target.c_str()) != 0) error = errno;
    if (error != 0) {
        ::unlink(temp.c_str());
        return Failure(true, error);
    }
    // Make the rename itself durable; a failure here leaves a complete file anyway.
    const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return {};
}

FileResult ReadFilePrefix(const std::string& path, std::size_t limit, std::string& out) {
    out.clear();
    // Non-blocking, so that a pipe without a writer cannot hang the open.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return Failure(false, errno);
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        const int error = errno;
        ::close(fd);
        return Failure(false, error);
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        return S_ISDIR(info.st_mode) ? Failure(false, EISDIR)
                                     : FileResult{false, false, "Not a regular file"};
    }
    out.resize(limit);
    std::size_t got = 0;
    while (got < limit) {
        const ssize_t n = ::read(fd, out.data() + got, limit - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            ::close(fd);
            out.clear();
            return Failure(true, error);
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    out.resize(got);
    return {};
}

}  // namespace brellow
