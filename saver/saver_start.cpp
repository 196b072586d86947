#include "saver/saver_start.h"

#include <fstream>
#include <system_error>

#include "config/file_names.h"
#include "config/settings_file.h"
#include "seed/pattern_file.h"

namespace orvex {

namespace {

// The file's first kMaxSettingsFileBytes; nothing (and why in *error) when it
// exists but can't be read, nothing and no error when it doesn't exist.
std::optional<std::string> read_settings(const std::filesystem::path& file, std::string* error) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (file.empty() || !fs::exists(file, ec)) return std::nullopt;
    const std::string name = file.u8string();
    if (fs::is_directory(file, ec)) {
        *error = "cannot read '" + name + "': it is a folder";
        return std::nullopt;
    }
    std::ifstream in(file, std::ios::binary);
    std::string text(kMaxSettingsFileBytes, '\0');
    if (in) in.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (!in && !in.eof()) {
        *error = "cannot read '" + name + "'";
        return std::nullopt;
    }
    text.resize(static_cast<std::size_t>(in.gcount()));
    return text;
}

// The first folder that holds the settings' pattern file, else the first
// folder. A name that would leave its folder is not looked for at all.
std::filesystem::path pattern_folder_for(const Settings& s, const std::vector<std::filesystem::path>& folders) {
    if (folders.empty()) return {};
    if (s.pattern != kPatternFromFile || !is_plain_file_name(s.pattern_name)) return folders.front();
    std::error_code ec;
    for (const auto& folder : folders)
        if (std::filesystem::is_regular_file(path_for_name(folder, pattern_file_name(s.pattern_name)), ec))
            return folder;
    return folders.front();
}

}  // namespace

SaverFiles files_beside(const std::filesystem::path& settings_file) {
    std::filesystem::path folder = settings_file.parent_path();
    if (folder.empty()) folder = ".";
    return {settings_file, {folder / kPatternsFolderName}, folder / kPicturesFolderName};
}

SaverFiles files_in_maker_folder(const std::filesystem::path& maker_folder) {
    return files_beside(maker_folder / kSettingsFileName);
}

SaverStart resolve_saver_start(const SaverFiles& files, std::optional<int> window_width,
                               const SettingsOverrides& overrides) {
    SaverStart start;
    const std::optional<std::string> text = read_settings(files.settings_file, &start.settings_error);
    start.settings = text ? parse_startup_settings(*text) : startup_settings_without_file();
    if (overrides) {
        overrides(start.settings);
        normalize_first_stage(start.settings);
    }
    Load_Pattern(start.settings, pattern_folder_for(start.settings, files.pattern_folders), start.pattern_matrix);
    normalize_second_stage(start.settings);
    if (window_width && *window_width < kMinPictureWidth) {
        start.settings.TextureFlag = 0;
        start.settings.Texture_Renew = 0;
    }
    start.pictures_folder = files.pictures_folder;
    return start;
}

}  // namespace orvex
