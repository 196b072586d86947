#include "base/file_read.h"

#include <cstdint>
#include <fstream>
#include <string>
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
    // Room for the size the file has now and one byte more, which tells a file
    // that grew since; the rest of a grown file is read up to one byte past the cap.
    std::error_code size_ec;
    const std::uintmax_t size = fs::file_size(path, size_ec);
    const std::size_t expected = size_ec || size > max_bytes ? max_bytes : static_cast<std::size_t>(size);
    std::string bytes(expected + 1, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    std::size_t got = static_cast<std::size_t>(in.gcount());
    if (got == bytes.size() && expected < max_bytes) {
        bytes.resize(max_bytes + 1);
        in.read(bytes.data() + got, static_cast<std::streamsize>(bytes.size() - got));
        got += static_cast<std::size_t>(in.gcount());
    }
    if (in.bad()) {
        result.error = "it can't be read";
        return result;
    }
    if (got > max_bytes) {
        result.error = "it is larger than " + std::to_string(max_bytes) + " bytes";
        return result;
    }
    bytes.resize(got);
    result.bytes = std::move(bytes);
    return result;
}

}  // namespace orvex
