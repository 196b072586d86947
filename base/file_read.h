// Reading a whole input file with a size cap, so that a FIFO, a device such as
// /dev/zero or a file of gigabytes gives a clear error instead of unbounded
// memory or a wait that never ends.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

namespace orvex {

struct FileText {
    std::optional<std::string> bytes;  // the whole file; nothing on failure
    std::string error;                 // why not, e.g. "it is a folder"; empty on success
};

// Only regular files of at most max_bytes are read.
FileText read_small_file(const std::filesystem::path& path, std::size_t max_bytes);

}  // namespace orvex
