#pragma once

// Reading and writing whole files with errors a person can act on.

#include <cstddef>
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
// it. An existing file keeps its permissions; a symbolic link keeps pointing at the
// file it names. A target that is not a regular file (a terminal, a pipe) is written
// in place.
FileResult WriteFileAtomically(const std::string& path, std::string_view bytes);

// Reads at most `limit` bytes from the start of a regular file into `out`.
// Refuses directories, pipes and devices instead of blocking on them.
FileResult ReadFilePrefix(const std::string& path, std::size_t limit, std::string& out);

}  // namespace brellow
