#include "tools/orvex/file_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

namespace orvex::tool {

std::optional<std::string> read_file(const std::string& path, std::string* error) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        *error = "cannot read '" + path + "': it is a folder";
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = "cannot read '" + path + "': " + std::strerror(errno);
        return std::nullopt;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) {
        *error = "cannot read '" + path + "'";
        return std::nullopt;
    }
    return bytes.str();
}

bool write_output(const std::string& path, const std::string& bytes, std::string* error) {
    if (path == "-") {
        std::cout << bytes;
        std::cout.flush();
        return static_cast<bool>(std::cout);
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (out) out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (out) out.close();
    if (!out) {
        *error = "cannot write '" + path + "'";
        return false;
    }
    return true;
}

}  // namespace orvex::tool
