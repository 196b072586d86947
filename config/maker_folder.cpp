#include "config/maker_folder.h"

#include <system_error>

namespace orvex {

std::filesystem::path maker_folder_under(const std::filesystem::path& base) {
    std::filesystem::path maker = base / kMakerFolderName;
    std::error_code ec;
    return std::filesystem::is_directory(maker, ec) ? maker : base;
}

}  // namespace orvex
