// Replacing a small file so that it survives a power cut: the new bytes go
// into a temporary file beside the old one, reach the disk, and only then take
// the old file's place in one step. At any moment the old file or the whole
// new one is there, never a part or an empty file.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace orvex {

struct FileReplace {
    bool ok = true;
    std::string error;       // the system's own words for what failed; empty when ok
    bool read_only = false;  // refused because the old file is marked read-only
    explicit operator bool() const { return ok; }
};

// Writes bytes into a temporary file beside target, made anew under a name
// of this call's own ("<target>.<unique>.tmp", created exclusively: never an
// existing file or link written through, never one another writer uses, so
// writers that overlap each replace target with a whole file of their own),
// flushes it to the disk, then moves it over target (write-through on
// Windows; the folder flushed too elsewhere). The new file keeps the old
// one's permission bits on POSIX systems; a first file is the owner's alone.
// Refused, before anything is written, when target exists but this process
// may not write it: marked read-only, or the system says no (another owner,
// an access list, a read-only volume); replacing goes through the folder and
// would get past that. On any failure target is left as it was and the
// temporary file removed. before_replace runs between the flush and the move
// (tests stop the process there).
FileReplace replace_file_durably(const std::filesystem::path& target, std::string_view bytes,
                                 const std::function<void()>& before_replace = {});

}  // namespace orvex
