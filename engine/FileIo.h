#pragma once

// Reading and writing whole files with errors a person can act on.

#include "engine/ByteSink.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace brellow {

struct FileResult {
    bool ok = true;
    bool opened = true;  // false when the file could not even be opened or created
    std::string reason;  // the system's own words ("Permission denied")

    explicit operator bool() const noexcept { return ok; }
};

// Writes `bytes` to `path` so that a failure never damages an existing file: the text
// goes to a temporary file beside the target, is flushed to disk and then renamed over
// it. An existing file keeps its permissions; a symbolic link, a chain of them or one
// whose file does not exist yet, keeps pointing at the file it names, which is saved
// the same way. A target that is not a regular file (a terminal, a pipe) is written in
// place, opened without waiting: a FIFO that nobody reads from is refused with "nobody
// is reading from PATH", and a reader that leaves midway gives "Broken pipe".
//
// An existing file is refused, with a reason that reads after "Cannot save F: ", when this
// user may not write it (the system's reason, "Permission denied"), when it has other hard
// links (the rename would separate them from it) and when it belongs to another user whose
// ownership the save cannot keep. It keeps its group when the user may give it that group;
// otherwise the group it gets has no more access than the old group and everyone else had.
// The temporary file, ".NAME.brellow-PID.XXXXXX", is removed on every failure; such files
// beside the target whose process no longer runs are removed too. NAME is cut short where
// the whole would pass the folder's limit on names, so every name the folder takes saves.
FileResult WriteFileAtomically(const std::string& path, std::string_view bytes);

struct SaveTarget;

// The same save for bytes that arrive in pieces, so that a long export is never held
// whole in memory:
//   AtomicFile file(path);
//   writer(file);                       // any number of Write calls
//   FileResult result = file.Commit();  // the first failure, or the rename's
// The target is checked and the temporary file created on construction; a failure there
// or in any Write makes the rest of the writes no-ops and is what Commit returns. A file
// destroyed without Commit is discarded and the target left as it was.
class AtomicFile final : public ByteSink {
public:
    explicit AtomicFile(const std::string& path);
    ~AtomicFile() override;
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    bool Write(std::string_view bytes) override;
    FileResult Commit();
    // The first failure so far.
    const FileResult& Status() const noexcept { return m_status; }

    struct Temporary {
        std::string path;
        int fd = -1;
        bool tracked = false;  // registered for the signal handlers
    };

private:
    static constexpr std::size_t kWritebackBytes = 4 << 20;

    std::unique_ptr<SaveTarget> m_target;
    Temporary m_temp;
    FileResult m_status;
    std::size_t m_written = 0;
    std::size_t m_flushed = 0;  // handed to the disk's writeback
};

// Makes SIGINT, SIGTERM and SIGHUP remove the temporary file of a save in progress before
// the signal ends the process as it would have (the exit status still names the signal).
// A signal the process ignores stays ignored. Call once, early in main.
void InstallTemporaryFileCleanup();

// Refuses to write `output` when it is the file `input` that the output is made from,
// under whatever name or link (same device and inode): the old file must stay whole.
// The reason reads after "Cannot write OUTPUT: ".
FileResult CheckNotOverInput(const std::string& output, const std::string& input);

// Reads at most `limit` bytes from the start of a regular file into `out`.
// Refuses directories, pipes and devices instead of blocking on them.
FileResult ReadFilePrefix(const std::string& path, std::size_t limit, std::string& out);

}  // namespace brellow
