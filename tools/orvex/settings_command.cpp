// orvex settings: the settings as the running saver holds them after reading a
// settings file, normalising it and loading its pattern file.
#include <CLI/CLI.hpp>
#include <iomanip>
#include <iostream>
#include <locale>
#include <memory>
#include <optional>
#include <sstream>

#include "config/rule_text.h"
#include "config/settings.h"
#include "core/rules.h"
#include "saver/saver_start.h"
#include "tools/orvex/commands.h"

namespace orvex::tool {

namespace {

std::string seconds(double value) {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << std::fixed << std::setprecision(6) << value;
    return out.str();
}

// The rule that runs in notation, and whether it is the catalogue's or one of its own.
std::string rule_text_of(const Settings& s) {
    if (!s.rule_text.empty())
        if (const std::optional<RuleSets> own = read_rule(s.rule_text).rule) return rule_notation(*own) + " (own)";
    const bool life = s.Family == kFamilyLife;
    return rule_notation(catalogue_sets(life ? kLifeRules : kGenerationRules, s.life_rule)) + " (" +
           (life ? life_display_names[s.life_rule] : generations_display_names[s.life_rule]) + ")";
}

void print_settings(const Settings& s, std::ostream& out) {
    out << "MainColor = " << s.MainColor << "\n"
        << "DrawStyle = " << s.DrawStyle << "\n"
        << "Family = " << s.Family << "\n"
        << "life_rule = " << s.life_rule << "\n"
        << "pattern = " << s.pattern << "\n"
        << "speed = " << s.speed << "\n"
        << "field_size = " << s.field_size << "\n"
        << "OneColor = " << s.OneColor << "\n"
        << "LightingNum = " << s.LightingNum << "\n"
        << "MatrixTr = " << s.MatrixTr << "\n"
        << "TextureFlag = " << s.TextureFlag << "\n"
        << "Texture_Renew = " << s.Texture_Renew << "\n"
        << "ResetMode = " << s.ResetMode << "\n"
        << "ResetTimeValue = " << seconds(s.ResetTimeValue) << "\n"
        << "pattern_name = " << s.pattern_name << "\n"
        << "picture_name = " << s.picture_name << "\n"
        << "rule = " << rule_text_of(s) << "\n";
}

int run_settings(const std::string& file) {
    const SaverStart start = resolve_saver_start(files_beside(file), std::nullopt);
    if (!start.settings_error.empty()) {
        std::cerr << "orvex: " << start.settings_error << "\n";
        return kExitFile;
    }
    print_settings(start.settings, std::cout);
    return kExitOk;
}

}  // namespace

CommandRun add_settings_command(CLI::App& app) {
    auto file = std::make_shared<std::string>();
    CLI::App* sub = app.add_subcommand(
        "settings", "Print the settings the saver would run with, read from a settings file (ss_ca_02.ini)");
    sub->add_option("FILE", *file, "The settings file; its pattern files are in Patterns2d beside it")->required();
    return [file] { return run_settings(*file); };
}

}  // namespace orvex::tool
