// orvex settings: the settings as the running saver holds them after reading a
// settings file, normalising it and loading its pattern file.
#include <CLI/CLI.hpp>
#include <cstdint>
#include <filesystem>
#include <iomanip>
#include <iostream>
#include <locale>
#include <memory>
#include <sstream>
#include <vector>

#include "config/settings.h"
#include "config/settings_file.h"
#include "seed/pattern_file.h"
#include "tools/orvex/commands.h"
#include "tools/orvex/file_io.h"

namespace orvex::tool {

namespace {

std::string seconds(double value) {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << std::fixed << std::setprecision(6) << value;
    return out.str();
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
        << "picture_name = " << s.picture_name << "\n";
}

int run_settings(const std::string& file) {
    namespace fs = std::filesystem;
    Settings s;
    std::error_code ec;
    if (!fs::exists(file, ec)) {
        s = startup_settings_without_file();  // as the saver does without a file
    } else {
        std::string error;
        std::optional<std::string> text = read_file(file, &error);
        if (!text) {
            std::cerr << "orvex: " << error << "\n";
            return kExitFile;
        }
        if (text->size() > kMaxSettingsFileBytes) text->resize(kMaxSettingsFileBytes);
        s = parse_startup_settings(*text);
    }
    if (s.pattern == kPatternFromFile) {
        std::vector<int32_t> pattern_matrix;
        Load_Pattern(s, fs::path(file).parent_path() / "Patterns2d", pattern_matrix);
    }
    normalize_second_stage(s);
    print_settings(s, std::cout);
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
