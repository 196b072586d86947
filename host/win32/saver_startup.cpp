#include "host/win32/saver_startup.h"

namespace orvex {

std::filesystem::path choose_base_folder(const std::optional<std::filesystem::path>& program_files,
                                         const std::optional<std::filesystem::path>& system_folder,
                                         const std::filesystem::path& windows_folder) {
    if (program_files && !program_files->empty()) return *program_files;
    if (system_folder && !system_folder->empty()) return *system_folder;
    return windows_folder;
}

ChildPlacement child_placement(int client_width, int client_height) {
    ChildPlacement p;
    p.width = client_width;
    p.height = client_height;
    p.x = (client_width - p.width) / 2;
    p.y = (client_height - p.height) / 2 - 1;
    return p;
}

}  // namespace orvex
