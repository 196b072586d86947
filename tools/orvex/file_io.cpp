#include "tools/orvex/file_io.h"

#include <fstream>
#include <iostream>
#include <utility>

#include "base/file_read.h"

namespace orvex::tool {

std::optional<std::string> read_file(const std::string& path, std::string* error) {
    FileText text = read_small_file(path, kMaxInputBytes);
    if (!text.bytes) *error = "cannot read '" + path + "': " + text.error;
    return std::move(text.bytes);
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
