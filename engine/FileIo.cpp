#include "engine/FileIo.h"

#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <random>
#include <utility>

namespace brellow {

// Where a save goes: the file a symbolic link names, split into its folder and name.
struct SaveTarget {
    std::string path;
    std::string dir;  // with its trailing slash; empty for the working folder
    std::string name;
    bool exists = false;
    bool inPlace = false;  // not a regular file (a terminal, a pipe): written directly
    int error = 0;         // why the link could not be followed
    struct stat info {};
};

namespace {

using TemporaryFile = AtomicFile::Temporary;

FileResult Failure(bool opened, int error) {
    return {false, opened, std::strerror(error)};
}

FileResult Refusal(const char* reason) {
    return {false, false, reason};
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

// Writing in place to a pipe whose reader has gone raises SIGPIPE, which would end the
// program; held back while writing, the write fails with "Broken pipe" instead. A pending
// SIGPIPE is discarded only when this write caused it.
bool WriteInPlace(int fd, std::string_view bytes) {
    sigset_t pipeSignal;
    sigset_t previous;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    ::pthread_sigmask(SIG_BLOCK, &pipeSignal, &previous);
    const bool written = WriteAll(fd, bytes);
    const int error = errno;
    if (!written && error == EPIPE && !sigismember(&previous, SIGPIPE)) {
        const timespec noWait{};
        ::sigtimedwait(&pipeSignal, nullptr, &noWait);
    }
    ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    errno = error;
    return written;
}

// Opens a target that is not a regular file (a pipe, a terminal, a device) to write in
// place. Opened without waiting: a FIFO's open would otherwise wait for a reader that may
// never come. `given` is the path as the caller named it.
FileResult OpenInPlace(const SaveTarget& target, const std::string& given, int& fd) {
    fd = ::open(target.path.c_str(), O_WRONLY | O_TRUNC | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENXIO && S_ISFIFO(target.info.st_mode)) {
            return {false, false, "nobody is reading from " + given};
        }
        return Failure(false, errno);
    }
    // Once open, writes wait for a slow reader as they would on standard output.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        const int error = errno;
        ::close(fd);
        fd = -1;
        return Failure(false, error);
    }
    return {};
}

// The temporary file of the save in progress, for the signal handlers. A handler may only
// read plain memory and lock-free atomics, so the path lives in a fixed buffer; one save
// at a time is tracked, and a save that finds the slot taken leaves its leftovers, if any,
// to a later save.
enum SlotState : int { kSlotFree, kSlotFilling, kSlotArmed };
std::atomic<int> g_slotState{kSlotFree};
static_assert(std::atomic<int>::is_always_lock_free);
char g_slotPath[PATH_MAX];

bool ArmSlot(const std::string& path) {
    if (path.size() >= sizeof g_slotPath) return false;
    int expected = kSlotFree;
    if (!g_slotState.compare_exchange_strong(expected, kSlotFilling)) return false;
    std::memcpy(g_slotPath, path.c_str(), path.size() + 1);
    g_slotState.store(kSlotArmed);
    return true;
}

void RemoveTemporaryAndReraise(int signal) {
    if (g_slotState.load() == kSlotArmed) ::unlink(g_slotPath);
    // SA_RESETHAND has restored the default action: raised again, the signal ends the
    // process as soon as this handler returns, and the exit status names it.
    ::raise(signal);
}

// Turns `path`, a chain of symbolic links that ends in no file, into the path of that file.
// Returns 0, or why the chain cannot be followed.
int FollowDanglingLinks(std::string& path) {
    // The system's own limit on links followed in one lookup.
    constexpr int kMaxLinks = 40;
    struct stat info {};
    for (int links = 0; ::lstat(path.c_str(), &info) == 0; ++links) {
        if (!S_ISLNK(info.st_mode)) return EEXIST;  // appeared meanwhile
        if (links == kMaxLinks) return ELOOP;
        char buffer[PATH_MAX];
        const ssize_t length = ::readlink(path.c_str(), buffer, sizeof buffer);
        if (length < 0) return errno;
        if (static_cast<std::size_t>(length) == sizeof buffer) return ENAMETOOLONG;
        std::string next(buffer, static_cast<std::size_t>(length));
        // A relative link names a file beside the link.
        const std::size_t slash = path.rfind('/');
        if (!next.starts_with('/') && slash != std::string::npos) {
            next.insert(0, path, 0, slash + 1);
        }
        path = std::move(next);
    }
    return errno == ENOENT ? 0 : errno;
}

// Follows symbolic links, a dangling one too, to the file a save replaces or creates:
// writing through a dangling link would create its target in place, not atomically.
SaveTarget ResolveTarget(const std::string& path) {
    SaveTarget target;
    target.path = path;
    target.exists = ::lstat(path.c_str(), &target.info) == 0;
    if (target.exists && S_ISLNK(target.info.st_mode)) {
        if (::stat(path.c_str(), &target.info) == 0) {
            // A pipe or a device is opened through the link itself: /dev/stdout and
            // /dev/fd/N name theirs by links that no path leads to.
            if (S_ISREG(target.info.st_mode)) {
                char resolved[PATH_MAX];
                if (::realpath(path.c_str(), resolved) == nullptr) {
                    target.error = errno;
                    return target;
                }
                target.path = resolved;
            }
        } else if (errno != ENOENT) {
            target.error = errno;
            return target;
        } else {
            target.exists = false;
            target.error = FollowDanglingLinks(target.path);
            if (target.error != 0) return target;
        }
    }
    target.inPlace = target.exists && !S_ISREG(target.info.st_mode);
    const std::size_t slash = target.path.rfind('/');
    target.dir = slash == std::string::npos ? "" : target.path.substr(0, slash + 1);
    target.name = target.path.substr(slash == std::string::npos ? 0 : slash + 1);
    return target;
}

// A temporary name says whose it is and which process wrote it: ".NAME.brellow-PID.XXXXXX".
constexpr std::string_view kSuffixAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr std::size_t kSuffixLength = 6;

// The longest pid a temporary name may carry: pid_t's ten digits.
constexpr std::size_t kPidDigits = 10;

// The temporary name keeps as much of the target's name as lets the whole fit the folder's
// limit on names, cut where a UTF-8 character starts. The cut depends on the name and the
// folder only, so leftovers of any process are found by the same prefix.
std::string TemporaryPrefix(const SaveTarget& target) {
    constexpr std::string_view kTag = ".brellow-";
    long limit = ::pathconf(target.dir.empty() ? "." : target.dir.c_str(), _PC_NAME_MAX);
    if (limit <= 0) limit = NAME_MAX;
    constexpr std::size_t kOverhead = 1 + kTag.size() + kPidDigits + 1 + kSuffixLength;
    std::size_t keep = static_cast<std::size_t>(limit) > kOverhead
                           ? static_cast<std::size_t>(limit) - kOverhead
                           : 1;
    if (keep < target.name.size()) {
        while (keep > 1 && (static_cast<unsigned char>(target.name[keep]) & 0xC0) == 0x80) --keep;
    }
    std::string prefix(1, '.');
    prefix.append(target.name, 0, keep).append(kTag);
    return prefix;
}

std::string RandomSuffix() {
    thread_local std::mt19937 generator{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, kSuffixAlphabet.size() - 1);
    std::string suffix(kSuffixLength, ' ');
    for (char& c : suffix) c = kSuffixAlphabet[pick(generator)];
    return suffix;
}

// Why an existing target must not be replaced; `ok` when it may be. The checks use the
// effective ids, as the rename would.
FileResult CheckReplaceable(const SaveTarget& target) {
    if (::faccessat(AT_FDCWD, target.path.c_str(), W_OK, AT_EACCESS) != 0) {
        return Failure(false, errno);
    }
    if (target.info.st_nlink > 1) {
        return Refusal("the file has other hard links, which saving would separate from it");
    }
    return {};
}

// Whether `entry` is exactly a temporary name of ours for this target whose process no
// longer runs. Anything else, a live process's file above all, is left alone.
bool IsLeftover(std::string_view entry, std::string_view prefix) {
    if (!entry.starts_with(prefix)) return false;
    entry.remove_prefix(prefix.size());
    if (entry.starts_with('0')) return false;
    pid_t pid = 0;
    const auto [end, error] = std::from_chars(entry.data(), entry.data() + entry.size(), pid);
    if (error != std::errc() || pid <= 0) return false;
    const std::string_view suffix = entry.substr(static_cast<std::size_t>(end - entry.data()));
    if (suffix.size() != kSuffixLength + 1 || !suffix.starts_with('.')) return false;
    if (suffix.find_first_not_of(kSuffixAlphabet, 1) != std::string_view::npos) return false;
    return ::kill(pid, 0) != 0 && errno == ESRCH;
}

// Saves that were killed before they could clean up leave their temporary files behind;
// the next save to the same target removes them.
void RemoveLeftovers(const SaveTarget& target) {
    DIR* folder = ::opendir(target.dir.empty() ? "." : target.dir.c_str());
    if (folder == nullptr) return;
    const std::string prefix = TemporaryPrefix(target);
    while (const dirent* entry = ::readdir(folder)) {
        if (!IsLeftover(entry->d_name, prefix)) continue;
        struct stat info {};
        if (::fstatat(::dirfd(folder), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode)) {
            ::unlinkat(::dirfd(folder), entry->d_name, 0);
        }
    }
    ::closedir(folder);
}

void ReleaseSlot(TemporaryFile& temp) {
    if (temp.tracked) g_slotState.store(kSlotFree);
    temp.tracked = false;
}

// Creates the temporary file beside the target. Its name is registered for the signal
// handlers before the file exists, so that no moment leaves an untracked file behind.
FileResult CreateTemporary(const SaveTarget& target, TemporaryFile& temp) {
    // An existing target's mode is applied once the owner is settled; a new file gets the
    // default mode the umask allows.
    const mode_t mode = target.exists ? 0600 : 0666;
    const std::string stem =
        target.dir + TemporaryPrefix(target) + std::to_string(::getpid()) + ".";
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp.path = stem + RandomSuffix();
        temp.tracked = ArmSlot(temp.path);
        temp.fd = ::open(temp.path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (temp.fd >= 0) return {};
        const int error = errno;
        ReleaseSlot(temp);
        if (error != EEXIST) return Failure(false, error);
    }
    return Failure(false, EEXIST);
}

// Gives the temporary file the target's owner, group and mode: the rename would otherwise
// hand the file to whoever saved it.
FileResult KeepOwnerAndMode(int fd, const struct stat& old) {
    struct stat fresh {};
    if (::fstat(fd, &fresh) != 0) return Failure(true, errno);
    mode_t mode = old.st_mode & 07777;
    if ((fresh.st_uid != old.st_uid || fresh.st_gid != old.st_gid) &&
        ::fchown(fd, old.st_uid, old.st_gid) != 0) {
        if (fresh.st_uid != old.st_uid) {
            return Refusal("the file belongs to another user, and saving would make it yours");
        }
        // The group cannot be kept: the one the file gets instead is given no more access
        // than both the old group and everyone else had.
        mode &= ~S_IRWXG | ((mode & S_IRWXO) << 3);
    }
    if (::fchmod(fd, mode) != 0) return Failure(true, errno);
    return {};
}

void DiscardTemporary(TemporaryFile& temp) {
    if (temp.fd >= 0) ::close(temp.fd);
    temp.fd = -1;
    ::unlink(temp.path.c_str());
    ReleaseSlot(temp);
}

// Flushes the temporary file to disk and renames it over the target. On failure the
// temporary file is removed and the target is as it was.
FileResult CommitTemporary(TemporaryFile& temp, const SaveTarget& target) {
    int error = ::fsync(temp.fd) != 0 ? errno : 0;
    if (::close(temp.fd) != 0 && error == 0) error = errno;
    temp.fd = -1;
    if (error == 0 && ::rename(temp.path.c_str(), target.path.c_str()) != 0) error = errno;
    if (error != 0) {
        DiscardTemporary(temp);
        return Failure(true, error);
    }
    ReleaseSlot(temp);
    // Make the rename itself durable; a failure here leaves a complete file anyway.
    const int dirFd =
        ::open(target.dir.empty() ? "." : target.dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return {};
}

}  // namespace

AtomicFile::AtomicFile(const std::string& path) {
    if (path.empty()) {
        m_status = Failure(false, ENOENT);
        return;
    }
    m_target = std::make_unique<SaveTarget>(ResolveTarget(path));
    const SaveTarget& target = *m_target;
    if (target.error != 0) {
        m_status = Failure(false, target.error);
        return;
    }
    if (target.inPlace) {
        m_status = OpenInPlace(target, path, m_temp.fd);
        return;
    }
    if (target.exists) m_status = CheckReplaceable(target);
    if (!m_status) return;
    RemoveLeftovers(target);
    m_status = CreateTemporary(target, m_temp);
    if (m_status && target.exists) m_status = KeepOwnerAndMode(m_temp.fd, target.info);
    if (!m_status) DiscardTemporary(m_temp);
}

AtomicFile::~AtomicFile() {
    if (m_temp.fd < 0) return;
    if (m_target->inPlace) {
        ::close(m_temp.fd);
    } else {
        DiscardTemporary(m_temp);
    }
}

bool AtomicFile::Write(std::string_view bytes) {
    if (!m_status || m_temp.fd < 0) return false;
    if (!(m_target->inPlace ? WriteInPlace(m_temp.fd, bytes) : WriteAll(m_temp.fd, bytes))) {
        m_status = Failure(true, errno);
        return false;
    }
    m_written += bytes.size();
    if (m_written - m_flushed >= kWritebackBytes && !m_target->inPlace) {
        // Starts writing the finished part to disk while the rest is composed, so the
        // final fsync has little left to wait for. Only a hint: errors show at fsync.
        ::sync_file_range(m_temp.fd, static_cast<off_t>(m_flushed),
                          static_cast<off_t>(m_written - m_flushed), SYNC_FILE_RANGE_WRITE);
        m_flushed = m_written;
    }
    return true;
}

FileResult AtomicFile::Commit() {
    if (m_temp.fd < 0) return m_status;
    if (!m_status) {
        if (!m_target->inPlace) DiscardTemporary(m_temp);
        return m_status;
    }
    if (m_target->inPlace) {
        const int fd = std::exchange(m_temp.fd, -1);
        if (::close(fd) != 0) m_status = Failure(true, errno);
        return m_status;
    }
    m_status = CommitTemporary(m_temp, *m_target);
    return m_status;
}

FileResult WriteFileAtomically(const std::string& path, std::string_view bytes) {
    AtomicFile file(path);
    file.Write(bytes);
    return file.Commit();
}

void InstallTemporaryFileCleanup() {
    struct sigaction action {};
    action.sa_handler = RemoveTemporaryAndReraise;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    const int signals[] = {SIGINT, SIGTERM, SIGHUP};
    for (const int signal : signals) sigaddset(&action.sa_mask, signal);
    for (const int signal : signals) {
        struct sigaction current {};
        // A signal the caller ignores (under nohup, in a background job) stays ignored.
        if (::sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_DFL) {
            ::sigaction(signal, &action, nullptr);
        }
    }
}

FileResult CheckNotOverInput(const std::string& output, const std::string& input) {
    struct stat out {};
    struct stat in {};
    if (::stat(output.c_str(), &out) != 0 || ::stat(input.c_str(), &in) != 0) return {};
    if (out.st_dev != in.st_dev || out.st_ino != in.st_ino) return {};
    return {false, false, "it is " + input + ", the loan being read"};
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
