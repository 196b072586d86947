// The settings file "ss_ca_02.ini": 19 text lines in the maker folder, one value
// each. Lines 1..15 are numbers (MainColor, DrawStyle, Family, life_rule, pattern,
// speed, field_size, OneColor, only-patterns-of-rule flag, lighting identifier
// 1045 + LightingNum, MatrixTr, TextureFlag, Texture_Renew, reset mode identifier
// 1049 + ResetMode, reset time in seconds), lines 16 and 17 the pattern name and
// the picture name (a BMP's without ".bmp"), each up to 30 characters. A pattern
// name that ends in ".rle" or ".cells" names that file itself; any other names a
// ".lif" file (seed/pattern_file.h, pattern_file_name). Line 18, added later, is
// "A field on each monitor" (0 or 1): a file of 17 lines reads as 0, and readers
// that take only 17 lines read a file of 18 as before. Line 19, added with it, is
// a rule of its own in B/S notation (config/rule_text.h), run in place of lines
// 3 and 4; empty, or a text that is no rule (corrected to empty), leaves them in
// charge, and readers of 17 or 18 lines ignore it.
//
// Reading is lenient, as the saver has always been: the numbers are taken as
// white-space separated values (a line end is white space); the first value that
// is not a number stops the reading of numbers, so it and all later ones keep 0;
// a file that ends early leaves the rest at 0 and the names empty. Then the line
// end after the last number read is skipped and the next two lines are the
// names, cut to 30 characters, and the line after them is line 18: only 1 turns
// its setting on; line 19 is taken when it is a rule of at most 256 characters.
// Anything after it is ignored. Lines may end in CR LF or LF
// alone. A stored name that would not stay in its folder (config/file_names.h,
// is_plain_file_name) reads as no name, whoever reads it: the pattern falls
// back to Random_Points and no picture is opened. Every value then goes
// through the range rules, so callers always get usable settings and never an
// error.
//
// Writing produces CR LF lines on every platform and replaces the old file only
// once the new one is complete.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "config/settings.h"

namespace orvex {

inline constexpr const char* kSettingsFileName = "ss_ca_02.ini";
inline constexpr std::size_t kMaxStoredNameLength = 30;
// Readers look at no more than this: a settings file is a few hundred bytes.
inline constexpr std::size_t kMaxSettingsFileBytes = std::size_t{1} << 20;

// Radio button identifiers that the file stores for the lighting and reset mode.
constexpr int kLightingIdBase = 1045;   // 1045..1048: lights off, 1, 2, 3
constexpr int kResetModeIdBase = 1049;  // 1049..1051: off, repeat, time

// The configuration dialog's working copies, in the file's encoding.
struct DialogSettings {
    int iMainColor = 0;
    int iDrawStyle = 0;
    int iFamily = 0;
    int life_rule = 0;
    int pattern = 0;  // index in the dialog's Pattern list; 7 and up name a pattern file
    int speed = 0;
    int field_size = 0;
    int iOneColor = 0;
    int iAllPatterns = 0;  // "Only Patterns allowed by certain Rule"
    int iLightingNum = 0;  // 1045..1048
    int iMatrixTr = 0;
    int iTexture = 0;
    int iCycleTexture = 0;
    int iResetMode = 0;  // 1049..1051
    float iResetTime = 0.0f;
    std::string pattern_name;
    std::string picture_name;  // without extension, or "--none--"
    int iFieldPerMonitor = 0;  // line 18
    std::string rule_text;     // line 19: a rule of its own, or empty
};

// The saver's start-up reading of the file's text: the stored values converted
// (lighting and reset mode identifiers to LightingNum / ResetMode, ".bmp"
// appended to a picture name that isn't a JPEG or PNG name already) and brought through the first normalisation stage.
Settings parse_startup_settings(std::string_view text);
// The same when there is no file: the start values of the settings table.
Settings startup_settings_without_file();

// The configuration dialog's reading: the stored values as they are, brought
// into the dialog's ranges by normalize_dialog_settings.
DialogSettings parse_dialog_settings(std::string_view text);
DialogSettings dialog_settings_without_file();
void normalize_dialog_settings(DialogSettings& d);

// The whole file, 19 lines ending in CR LF. A name is written up to its first
// LF or NUL, so a stray line break cannot shift the lines after it.
std::string format_settings_file(const DialogSettings& d);

// The file's first kMaxSettingsFileBytes in folder, or nothing when there is
// none or it cannot be read.
std::optional<std::string> read_settings_text(const std::filesystem::path& folder);

// The file readers at the edge: a missing or unreadable file gives the start values.
Settings load_startup_settings(const std::filesystem::path& folder);
DialogSettings load_dialog_settings(const std::filesystem::path& folder);

struct WriteResult {
    bool ok = true;
    std::string message;  // why the file was not written; empty when ok
    explicit operator bool() const { return ok; }
};

// Writes the file into folder through a temporary file beside it, flushed to
// the disk before it replaces the old file, so a power cut leaves the old
// settings or the new ones. An old file this process may not write (marked
// read-only, or refused by the system) is not replaced. On failure the old
// file is left as it was, the temporary file is removed and the result says
// why, in the system's words. before_replace: see replace_file_durably.
WriteResult save_settings_file(const std::filesystem::path& folder, const DialogSettings& d,
                               const std::function<void()>& before_replace = {});

}  // namespace orvex
