// Pattern files on disk: which file a stored pattern name stands for, reading
// it within its size limit in the format its extension names
// (seed/pattern_formats.h), and the saver's start-up loading.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "config/settings.h"
#include "seed/pattern_formats.h"

namespace orvex {

// Pattern files are a few kilobytes; anything past this is not one.
inline constexpr std::size_t kMaxPatternFileBytes = std::size_t{4} << 20;

// Reads the file at path as the saver does, in the format its extension names
// (seed/pattern_formats.h): a file that can't be opened (missing, a folder, not
// a regular file), can't be read or is larger than kMaxPatternFileBytes gives
// an error. Cells of an RLE file may hold states above 1.
PatternRead read_pattern_file(const std::filesystem::path& path, int field_size);

// The file a stored pattern name stands for: the name itself when it ends in
// ".rle" or ".cells", else the name and ".lif".
std::string pattern_file_name(const std::string& pattern_name);

// Start-up loading: reads patterns_folder / pattern_file_name(pattern_name) when
// pattern is 10. pattern_matrix becomes field_size * field_size values, all 0
// unless the file was read, with only the states the chosen rule has. When the
// file can't be used, pattern becomes 0 (Random_Points).
// A name that would leave the pattern folder (config/file_names.h) is refused
// the same way, without touching the disk.
void Load_Pattern(Settings& settings, const std::filesystem::path& patterns_folder,
                  std::vector<int32_t>& pattern_matrix);

}  // namespace orvex
