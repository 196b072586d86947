#include "host/x11/hack_files.h"

#include <system_error>

#include "config/settings_file.h"

namespace orvex::x11 {

std::filesystem::path config_folder(const char* xdg_config_home, const char* home) {
    if (xdg_config_home != nullptr && xdg_config_home[0] == '/')
        return std::filesystem::path(xdg_config_home) / "orvex";
    if (home != nullptr && home[0] != '\0') return std::filesystem::path(home) / ".config" / "orvex";
    return {};
}

SaverFiles hack_files(const std::filesystem::path& config, const std::filesystem::path& installed_patterns,
                      const std::filesystem::path& picture) {
    SaverFiles files;
    if (!config.empty()) {
        files.settings_file = config / kSettingsFileName;
        files.pattern_folders.push_back(config / kPatternsFolderName);
        files.pictures_folder = config / kPicturesFolderName;
    }
    if (!installed_patterns.empty()) files.pattern_folders.push_back(installed_patterns);
    if (!picture.empty()) {
        files.pictures_folder = picture.parent_path();
        if (files.pictures_folder.empty()) files.pictures_folder = ".";
    }
    return files;
}

std::filesystem::path installed_patterns_folder() {
    std::error_code ec;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return {};
    // ORVEX_PATTERNS_FROM_PROGRAM: the samples' folder relative to the program's.
    return (program.parent_path() / ORVEX_PATTERNS_FROM_PROGRAM).lexically_normal();
}

}  // namespace orvex::x11
