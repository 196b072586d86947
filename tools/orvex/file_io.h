// Whole-file reading and writing for the tool, with messages that name the file.
#pragma once

#include <optional>
#include <string>

namespace orvex::tool {

// The file's bytes, or nothing (and a message naming it in *error).
std::optional<std::string> read_file(const std::string& path, std::string* error);
// Writes bytes to path, or to standard output for "-". False (with a message) on failure.
bool write_output(const std::string& path, const std::string& bytes, std::string* error);

}  // namespace orvex::tool
