// Whole-file reading and writing for the tool, with messages that name the file.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace orvex::tool {

// No input of the tool comes near this: a 1000 x 1000 grid is about 1 MB.
inline constexpr std::size_t kMaxInputBytes = std::size_t{16} << 20;

// The file's bytes, or nothing (and a message naming it in *error). Only regular
// files up to kMaxInputBytes are read: a FIFO or a device is refused at once.
std::optional<std::string> read_file(const std::string& path, std::string* error);
// Writes bytes to path, or to standard output for "-". False (with a message) on failure.
bool write_output(const std::string& path, const std::string& bytes, std::string* error);

}  // namespace orvex::tool
