#include "host/x11/hack_options.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>

#include "config/rule_text.h"
#include "core/rules.h"
#include "seed/seeder.h"

namespace orvex::x11 {

namespace {

constexpr const char* kColorNames[] = {"red", "green", "blue"};                   // from kColorRed
constexpr const char* kStyleNames[] = {"points", "triangles", "lines", "quads"};  // from kStylePoints
constexpr const char* kFamilyNames[] = {"life", "generation", "modified-generation"};
constexpr const char* kResetNames[] = {"off", "repeat", "time"};

template <std::size_t N>
std::optional<int> index_of(const char* const (&names)[N], std::string_view value) {
    for (std::size_t k = 0; k < N; ++k)
        if (name_key(names[k]) == name_key(value)) return static_cast<int>(k);
    return std::nullopt;
}

template <std::size_t N>
std::string joined(const char* const (&names)[N]) {
    std::string out;
    for (const char* n : names) out += (out.empty() ? "" : ", ") + std::string(n);
    return out;
}

// A named choice: one of names, stored as base + its index.
template <std::size_t N>
void add_choice(CLI::App& app, const std::string& flag, std::optional<int>& target, const char* const (&names)[N],
                int base, const std::string& help) {
    app.add_option_function<std::string>(
           flag,
           [&target, &names, base, flag](const std::string& value) {
               const std::optional<int> k = index_of(names, value);
               if (!k) throw CLI::ValidationError(flag, "'" + value + "' is not one of " + joined(names));
               target = base + *k;
           },
           help + " (" + joined(names) + ")")
        ->type_name("NAME");
}

void add_number(CLI::App& app, const std::string& flag, std::optional<int>& target, const std::string& help) {
    app.add_option_function<int>(
           flag, [&target](int value) { target = value; }, help)
        ->type_name("N");
}

void add_switch(CLI::App& app, const std::string& name, std::optional<int>& target, const std::string& help) {
    app.add_flag_callback(
        "--" + name, [&target] { target = 1; }, help);
    app.add_flag_callback("--no-" + name, [&target] { target = 0; })->group("");
}

void set_rule(SettingOverrides& o, const std::string& value) {
    const std::string key = name_key(value);
    for (int k = 0; k < kLifeRuleCount; ++k)
        if (name_key(life_display_names[k]) == key) {
            o.life_rule = k;
            o.generations_rule = false;
            return;
        }
    for (int k = 0; k < kGenerationsRuleCount; ++k)
        if (name_key(generations_display_names[k]) == key) {
            o.life_rule = k;
            o.generations_rule = true;
            return;
        }
    const RuleRead read = read_rule(value);
    if (!read.rule)
        throw CLI::ValidationError("--rule", "'" + value + "' is no rule's name, and as notation: " + read.error);
    if (const std::optional<CatalogueRule> c = catalogue_match(*read.rule)) {
        o.life_rule = c->index;
        o.generations_rule = c->generations;
        return;
    }
    o.rule_text = value;
}

void set_pattern(SettingOverrides& o, std::string value) {
    for (int k = 0; k < 7; ++k)
        if (name_key(seed_names[k]) == name_key(value)) {
            o.pattern = k;
            o.pattern_name = seed_names[k];
            return;
        }
    if (value.size() > 4 && value.compare(value.size() - 4, 4, ".lif") == 0) value.resize(value.size() - 4);
    if (value.empty() || value.find('/') != std::string::npos)
        throw CLI::ValidationError("--pattern", "a pattern is a seed name or the name of a file in Patterns2d");
    o.pattern = kPatternFromFile;
    o.pattern_name = value;
}

std::string rule_list() {
    std::string out = "Life family: ";
    for (int k = 0; k < kLifeRuleCount; ++k) out += (k ? ", " : "") + name_key(life_display_names[k]);
    out += "; Generations: ";
    for (int k = 0; k < kGenerationsRuleCount; ++k) out += (k ? ", " : "") + name_key(generations_display_names[k]);
    return out;
}

// XScreenSaver writes its options with one dash: -root, -window-id, -fps.
std::vector<std::string> with_double_dashes(const std::vector<std::string>& args) {
    std::vector<std::string> out;
    for (const std::string& a : args) {
        const bool single_dash_word =
            a.size() > 2 && a[0] == '-' && a[1] != '-' && std::isalpha(static_cast<unsigned char>(a[1]));
        out.push_back(single_dash_word ? "-" + a : a);
    }
    return out;
}

}  // namespace

std::string name_key(std::string_view name) {
    std::string key;
    for (char c : name)
        if (std::isalnum(static_cast<unsigned char>(c)))
            key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return key;
}

std::optional<unsigned long> parse_window_id(std::string_view text) {
    const std::string s(text);
    if (s.empty() || !std::isdigit(static_cast<unsigned char>(s[0]))) return std::nullopt;
    const bool hex = s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X');
    errno = 0;
    char* end = nullptr;
    const unsigned long id = std::strtoul(s.c_str(), &end, hex ? 16 : 10);
    if (errno != 0 || end == s.c_str() || *end != '\0' || id == 0) return std::nullopt;
    return id;
}

std::optional<unsigned long> window_from_environment(const HackOptions& options, const char* xscreensaver_window) {
    if (options.window == WindowChoice::kWindowId) return options.window_id;
    if (options.window_explicit || xscreensaver_window == nullptr) return std::nullopt;
    return parse_window_id(xscreensaver_window);
}

ParseResult parse_hack_options(const std::vector<std::string>& args, HackOptions& options, std::ostream& out,
                               std::ostream& err) {
    CLI::App app{
        "Orvex ScreenSaver for X: cellular automata drawn with OpenGL. Settings come from "
        "$XDG_CONFIG_HOME/orvex/ss_ca_02.ini; the options below override them.",
        kHackName};
    SettingOverrides& o = options.overrides;
    std::string window_id;

    app.add_flag_callback(
        "--root", [&options] { options.window = WindowChoice::kRoot; },
        "Draw on the root window (or the virtual root)");
    app.add_flag_callback(
        "--window",
        [&options] {
            options.window = WindowChoice::kOwn;
            options.window_explicit = true;
        },
        "Draw in a window of its own (the default)");
    app.add_option("--window-id", window_id, "Draw in the window with this id (hex 0x... or decimal)")->type_name("ID");
    app.add_flag("--fps", options.fps, "Show frames per second");
    app.add_option_function<std::string>(
           "--renderer",
           [&options](const std::string& v) {
               options.renderer = v == "gles3" ? RendererChoice::kGles3 : RendererChoice::kGl11;
           },
           "gles3: OpenGL ES 3 (the default), or OpenGL 1.1 where that cannot start; gl11: OpenGL "
           "1.1 through GLX")
        ->check(CLI::IsMember({"gl11", "gles3"}).description(""))
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast)
        ->type_name("gl11|gles3");
    app.add_option("--visual", "Accepted for XScreenSaver; the visual is chosen for OpenGL")->type_name("VISUAL");
    app.add_flag("--install", "Accepted for XScreenSaver; no colour map is installed");
    app.add_option("--delay", "Accepted for XScreenSaver; --speed sets the pace")->type_name("USECS");

    add_choice(app, "--color", o.MainColor, kColorNames, kColorRed, "Main colour");
    add_choice(app, "--style", o.DrawStyle, kStyleNames, kStylePoints, "How each cell is drawn");
    add_choice(app, "--family", o.Family, kFamilyNames, kFamilyLife,
               "Rule family; a rule from the other table overrides it");
    app.add_option_function<std::string>(
           "--rule", [&o](const std::string& v) { set_rule(o, v); },
           "Rule by name (" + rule_list() + ") or in notation: B3/S23, B2/S/C3, 345/2/4, B2-a/S12")
        ->type_name("RULE");
    app.add_option_function<std::string>(
           "--pattern", [&o](const std::string& v) { set_pattern(o, v); },
           "Seed: randompoints, randomblocks, smallblocks, randomcircles, bigcircles, block55, "
           "block2525, "
           "or the name of a pattern file in Patterns2d (.lif, .rle or .cells)")
        ->type_name("NAME");
    add_number(app, "--speed", o.speed, "Speed 1..25: a generation every 750/speed ms");
    add_number(app, "--size", o.field_size, "Field side in cells, 100..1000");
    add_number(app, "--lights", o.LightingNum, "Moving lights, 0 (lighting off) .. 3");
    add_switch(app, "one-color", o.OneColor, "Use only the main colour (--no-one-color: colour by age)");
    add_switch(app, "wrap", o.MatrixTr, "The field wraps at its borders (--no-wrap: closed borders)");
    add_switch(app, "cycle", o.Texture_Renew, "A new picture with every seed (--no-cycle: keep one)");
    app.add_option_function<std::string>(
           "--picture",
           [&o](const std::string& v) {
               o.picture = v;
               o.TextureFlag = 1;
           },
           "Stretch this picture (BMP, JPEG or PNG) over the field; cycling goes through its folder")
        ->type_name("FILE");
    app.add_flag_callback(
        "--no-picture", [&o] { o.TextureFlag = 0; }, "No picture");
    add_choice(app, "--reset", o.ResetMode, kResetNames, kResetOff, "When to reseed");
    app.add_option_function<double>(
           "--reset-time", [&o](double v) { o.ResetTimeValue = v; }, "Seconds between reseeds, 10..600")
        ->type_name("SECONDS");
    app.add_flag("--print-settings", options.print_settings, "Print the settings it would run with, and exit");
    app.add_flag("--trace", options.trace, "Print a line for every generation step and frame on stderr")->group("");

    try {
        std::vector<std::string> reversed = with_double_dashes(args);
        std::reverse(reversed.begin(), reversed.end());
        app.parse(reversed);
        if (!window_id.empty()) {
            const std::optional<unsigned long> id = parse_window_id(window_id);
            if (!id) throw CLI::ValidationError("--window-id", "'" + window_id + "' is not a window id");
            options.window = WindowChoice::kWindowId;
            options.window_id = *id;
            options.window_id_text = window_id;
        }
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return {false, 0};
    } catch (const CLI::ParseError& e) {
        err << kHackName << ": " << e.what() << "\n\n" << app.help();
        return {false, 1};
    }
    return {true, 0};
}

void apply_overrides(const SettingOverrides& o, Settings& s) {
    auto set = [](const std::optional<int>& from, int& to) {
        if (from) to = *from;
    };
    set(o.MainColor, s.MainColor);
    set(o.DrawStyle, s.DrawStyle);
    set(o.Family, s.Family);
    set(o.speed, s.speed);
    set(o.field_size, s.field_size);
    set(o.OneColor, s.OneColor);
    set(o.LightingNum, s.LightingNum);
    set(o.MatrixTr, s.MatrixTr);
    set(o.TextureFlag, s.TextureFlag);
    set(o.Texture_Renew, s.Texture_Renew);
    set(o.ResetMode, s.ResetMode);
    if (o.ResetTimeValue) s.ResetTimeValue = *o.ResetTimeValue;
    if (o.rule_text) s.rule_text = *o.rule_text;
    if (o.life_rule) {
        s.rule_text.clear();  // the catalogue rule named replaces one of the file's own
        s.life_rule = *o.life_rule;
        // The rule's table decides between Life and Generations; a Generations
        // rule keeps the chosen way of running it.
        if (!*o.generations_rule)
            s.Family = kFamilyLife;
        else if (s.Family == kFamilyLife)
            s.Family = kFamilyGeneration;
    }
    if (o.pattern) {
        s.pattern = *o.pattern;
        s.pattern_name = o.pattern_name;
    }
    if (!o.picture.empty()) s.picture_name = o.picture.filename().string();
    normalize_first_stage(s);
}

void print_settings(const Settings& s, std::ostream& out) {
    out << "MainColor = " << s.MainColor << "\nDrawStyle = " << s.DrawStyle << "\nFamily = " << s.Family
        << "\nlife_rule = " << s.life_rule << "\npattern = " << s.pattern << "\nspeed = " << s.speed
        << "\nfield_size = " << s.field_size << "\nOneColor = " << s.OneColor << "\nLightingNum = " << s.LightingNum
        << "\nMatrixTr = " << s.MatrixTr << "\nTextureFlag = " << s.TextureFlag
        << "\nTexture_Renew = " << s.Texture_Renew << "\nResetMode = " << s.ResetMode
        << "\nResetTimeValue = " << s.ResetTimeValue << "\npattern_name = " << s.pattern_name
        << "\npicture_name = " << s.picture_name << "\nrule_text = " << s.rule_text << "\n";
}

}  // namespace orvex::x11
