#include "config/file_names.h"

#include <system_error>

namespace orvex {

#ifndef _WIN32
// Names are the file system's bytes as they are.
std::filesystem::path path_for_name(const std::filesystem::path& folder, const std::string& name) {
    return folder / std::filesystem::path(name);
}

std::optional<std::string> name_of(const std::filesystem::path& path) { return path.filename().string(); }
#endif

std::vector<std::string> list_file_names(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    std::filesystem::directory_iterator it(folder, ec);
    for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
        std::error_code type_ec;
        if (!it->is_regular_file(type_ec)) continue;
        if (std::optional<std::string> name = name_of(it->path())) names.push_back(std::move(*name));
    }
    return names;
}

}  // namespace orvex
