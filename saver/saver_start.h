// What a saver run starts with, settled once before anything is drawn: the
// settings as read from the settings file and normalised, the cells of the
// pattern file, the pictures folder, and the picture-width rule for the window
// the run draws in. Every host and tool starts a run through
// resolve_saver_start; nothing changes the result afterwards.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "config/settings.h"

namespace orvex {

inline constexpr const char* kPatternsFolderName = "Patterns2d";
inline constexpr const char* kPicturesFolderName = "Pictures";
constexpr int kMinPictureWidth = 640;  // narrower windows, the preview among them, show no pictures

// Where a run finds its files.
struct SaverFiles {
    std::filesystem::path settings_file;  // empty or missing: the start values
    // Looked through in order for the pattern file; the first that holds it is read.
    std::vector<std::filesystem::path> pattern_folders;
    std::filesystem::path pictures_folder;
};

// The settings file with "Patterns2d" and "Pictures" in the folder beside it
// (the current folder for a bare name or an empty path).
SaverFiles files_beside(const std::filesystem::path& settings_file);
// The saver's own layout: "ss_ca_02.ini", "Patterns2d" and "Pictures" in the maker folder.
SaverFiles files_in_maker_folder(const std::filesystem::path& maker_folder);

// Settings given besides the file (command-line options); they are applied to
// the values read, before the pattern file is loaded, and normalised with them.
using SettingsOverrides = std::function<void(Settings&)>;

struct SaverStart {
    Settings settings;                    // normalised, pictures fitted to the window
    std::vector<int32_t> pattern_matrix;  // field_size * field_size cells for seed code 10
    std::filesystem::path pictures_folder;
    // Why a settings file that exists could not be read (a folder, no
    // permission); the start values are used then. Empty otherwise.
    std::string settings_error;
};

// Reads the settings file (first normalisation included), applies overrides,
// loads the pattern file when the seed is a file (falling back to
// Random_Points when it can't be used), runs the second normalisation, and
// switches pictures and picture cycling off when window_width is below 640.
// Without a window (nullopt) the pictures stay as read. Reports nothing.
SaverStart resolve_saver_start(const SaverFiles& files, std::optional<int> window_width,
                               const SettingsOverrides& overrides = nullptr);

}  // namespace orvex
