#include "host/saver_startup.h"

#include "config/settings_file.h"
#include "seed/pattern_file.h"

namespace orvex {

std::filesystem::path choose_base_folder(const std::optional<std::filesystem::path>& program_files,
                                         const std::optional<std::filesystem::path>& system_folder,
                                         const std::filesystem::path& windows_folder) {
    if (program_files && !program_files->empty()) return *program_files;
    if (system_folder && !system_folder->empty()) return *system_folder;
    return windows_folder;
}

SaverStart prepare_saver(const std::filesystem::path& maker_folder) {
    SaverStart start;
    start.maker_folder = maker_folder;
    start.settings = load_startup_settings(maker_folder);
    Load_Pattern(start.settings, maker_folder / kPatternsFolderName, start.pattern_matrix);
    normalize_second_stage(start.settings);
    return start;
}

void fit_to_window(Settings& settings, int client_width) {
    if (client_width >= kMinPictureWidth) return;
    settings.TextureFlag = 0;
    settings.Texture_Renew = 0;
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
