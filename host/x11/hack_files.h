// Where orvex-hack finds its files: the settings file "ss_ca_02.ini" in
// $XDG_CONFIG_HOME/orvex (~/.config/orvex when the variable is unset or not an
// absolute path), "Patterns2d" and "Pictures" beside it, and after the user's
// patterns the sample patterns installed with the program.
#pragma once

#include <filesystem>

#include "saver/saver_start.h"

namespace orvex::x11 {

// The folder of the settings; empty when neither variable gives one.
std::filesystem::path config_folder(const char* xdg_config_home, const char* home);

// installed_patterns: the sample patterns' folder (may be empty: none).
// picture: a picture file given on the command line; its folder becomes the pictures folder.
SaverFiles hack_files(const std::filesystem::path& config, const std::filesystem::path& installed_patterns,
                      const std::filesystem::path& picture);

// The sample patterns' folder as installed beside the program.
std::filesystem::path installed_patterns_folder();

}  // namespace orvex::x11
