// What the saver's main window settles around its simulation window: the base
// folder the maker folder is looked for in, and the place and size of the
// simulation window in the main window's client area. The settings, the
// pattern file and the picture-width rule are the saver session's
// (saver/saver_start.h).
#pragma once

#include <filesystem>
#include <optional>

namespace orvex {

// Class name and title of the simulation window, caption of the start-up messages.
inline constexpr const char* kSaverTitle = "Orvex ScreenSaver v 2.0";

// The base folder: the program-files folder, else the system folder, else the
// Windows folder. A lookup that failed is nothing or an empty path.
std::filesystem::path choose_base_folder(const std::optional<std::filesystem::path>& program_files,
                                         const std::optional<std::filesystem::path>& system_folder,
                                         const std::filesystem::path& windows_folder);

struct ChildPlacement {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The simulation window covers the whole client area, one pixel above its top edge.
ChildPlacement child_placement(int client_width, int client_height);

}  // namespace orvex
