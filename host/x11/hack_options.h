// The command line of orvex-hack: the XScreenSaver hack conventions (-root,
// -window, -window-id ID, -fps, and the accepted but unused -visual, -install,
// -delay; one or two dashes alike) and one option per setting, applied over the
// settings file before the saver normalises it.
//
// Setting options take names (--color blue, --rule conwayslife, --pattern
// Acorn) or numbers (--speed 7); --rule also takes a rule in notation
// (--rule B36/S23, --rule 345/2/4, --rule B2-a/S12), which selects the
// catalogue rule that runs as it does, if any, else runs as a rule of its own. Numbers out of range are brought into
// range by the same rules as the settings file's values; a name that is not known, a value that is not a number and an
// unknown option are usage errors.
#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "config/settings.h"

namespace orvex::x11 {

inline constexpr const char* kHackName = "orvex-hack";

// What the options say about each setting; nothing means "as the settings file says".
struct SettingOverrides {
    std::optional<int> MainColor, DrawStyle, Family, speed, field_size, OneColor, LightingNum, MatrixTr, TextureFlag,
        Texture_Renew, ResetMode;
    std::optional<int> life_rule;
    std::optional<bool> generations_rule;  // with life_rule: which table the rule name came from
    std::optional<std::string> rule_text;  // a rule of its own in notation, instead of life_rule
    std::optional<double> ResetTimeValue;
    std::optional<int> pattern;  // a built-in seed 0..6, or kPatternFromFile with pattern_name
    std::string pattern_name;
    std::filesystem::path picture;  // a picture file, or empty
};

enum class WindowChoice {
    kOwn,       // a window of our own (-window, the default)
    kRoot,      // the root window, or the virtual root (-root)
    kWindowId,  // the window given by -window-id
};

// What draws: OpenGL ES 3 through EGL, or OpenGL 1.1 through GLX.
enum class RendererChoice { kGles3, kGl11 };

struct HackOptions {
    WindowChoice window = WindowChoice::kOwn;
    RendererChoice renderer = RendererChoice::kGles3;
    bool window_explicit = false;  // -window was given
    unsigned long window_id = 0;
    std::string window_id_text;  // -window-id as written, for messages
    bool fps = false;
    bool print_settings = false;  // print the resolved settings and exit
    bool trace = false;           // one stderr line per simulation step
    SettingOverrides overrides;
};

struct ParseResult {
    bool run = false;  // false: exit with exit_code (usage, --help)
    int exit_code = 0;
};

// Parses argv; usage and errors go to out / err.
ParseResult parse_hack_options(const std::vector<std::string>& args, HackOptions& options, std::ostream& out,
                               std::ostream& err);

// A window id as XScreenSaver ("0x1a00003") or xsecurelock ("27262979") writes it.
std::optional<unsigned long> parse_window_id(std::string_view text);

// The window the hack draws into when no -window-id is given: the value of
// $XSCREENSAVER_WINDOW (null when unset) counts unless -window was given.
std::optional<unsigned long> window_from_environment(const HackOptions& options, const char* xscreensaver_window);

// Applies the overrides to settings read by the first normalisation stage and
// runs that stage again, so option values meet the same range rules.
void apply_overrides(const SettingOverrides& overrides, Settings& settings);

// Lower-case letters and digits of a name: "Conway's Life" -> "conwayslife".
std::string name_key(std::string_view name);

// One "name = value" line per setting, for --print-settings.
void print_settings(const Settings& settings, std::ostream& out);

}  // namespace orvex::x11
