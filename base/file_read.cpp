#include "base/file_read.h"

#include <fstream>
#include <system_error>

namespace orvex {

FileText read_small_file(const std::filesystem::path& path, std::size_t max_bytes) {
    namespace fs = std::filesystem;
    FileText result;
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (ec || !fs::exists(status)) {
        result.error = "no such file";
        return result;
    }
    if (fs::is_directory(status)) {
        result.error = "it is a folder";
        return result;
    }
    if (!fs::is_regular_file(status)) {
        result.error = "it is not a regular file";
        return result;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        result.error = "it can't be opened";
        return result;
    }
    // One byte more than allowed tells a file that grew past the cap after the check.
    std::string bytes(max_bytes + 1, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (in.bad()) {
        result.error = "it can't be read";
        return result;
    }
    const auto got = static_cast<std::size_t>(in.gcount());
    if (got > max_bytes) {
        result.error = "it is larger than " + std::to_string(max_bytes) + " bytes";
        return result;
    }
    bytes.resize(got);
    result.bytes = std::move(bytes);
    return result;
}

}  // namespace orvex
