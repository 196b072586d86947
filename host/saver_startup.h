// What the saver's main window settles before its simulation window exists:
// the folders, the settings as read and normalised, the pattern file, and the
// place and size of the simulation window in the main window's client area.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "config/settings.h"

namespace orvex {

inline constexpr const char* kPatternsFolderName = "Patterns2d";
inline constexpr const char* kPicturesFolderName = "Pictures";
// Class name and title of the simulation window, caption of the start-up messages.
inline constexpr const char* kSaverTitle = "Orvex ScreenSaver v 2.0";

// The base folder: the program-files folder, else the system folder, else the
// Windows folder. A lookup that failed is nothing or an empty path.
std::filesystem::path choose_base_folder(const std::optional<std::filesystem::path>& program_files,
                                         const std::optional<std::filesystem::path>& system_folder,
                                         const std::filesystem::path& windows_folder);

struct SaverStart {
    Settings settings;
    std::vector<int32_t> pattern_matrix;  // field_size * field_size cells for seed code 10
    std::filesystem::path maker_folder;
};

// Reads the settings file in maker_folder (first normalisation included), the
// pattern file from its "Patterns2d" when the seed is a file, then runs the
// second normalisation. Missing files leave the defaults; nothing is reported.
SaverStart prepare_saver(const std::filesystem::path& maker_folder);

constexpr int kMinPictureWidth = 640;  // narrower windows, the preview among them, show no pictures

// Switches pictures and picture cycling off in a window narrower than 640 pixels.
void fit_to_window(Settings& settings, int client_width);

struct ChildPlacement {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The simulation window covers the whole client area, one pixel above its top edge.
ChildPlacement child_placement(int client_width, int client_height);

}  // namespace orvex
