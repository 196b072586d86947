// PNG output for the tool's rendered frames.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orvex::tool {

// Writes an 8-bit RGB picture, rows top first, to path. False (with a message) on failure.
bool write_png(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb,
               std::string* error);

}  // namespace orvex::tool
