// orvex pattern-info: what the saver and its dialog make of a Life 1.05 file.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <iostream>
#include <memory>
#include <optional>

#include "config/settings.h"
#include "core/rules.h"
#include "seed/pattern_file.h"
#include "tools/orvex/commands.h"
#include "tools/orvex/file_io.h"

namespace orvex::tool {

namespace {

struct PatternInfoOptions {
    std::string file;
    std::optional<int> rule;
    int size = kMinFieldSize;
};

int run_pattern_info(const PatternInfoOptions& o) {
    std::string error;
    auto text = read_file(o.file, &error);
    if (!text) {
        std::cerr << "orvex: " << error << "\n";
        std::cout << "loads no\n";
        return kExitFile;
    }
    const int size = std::clamp(o.size, kMinFieldSize, kMaxFieldSize);
    const PatternRead read = read_life105(*text, size);
    if (read.ok()) {
        std::cout << "loads yes\n";
        std::cout << "cells " << std::count(read.cells.begin(), read.cells.end(), 1) << " on " << size << "x" << size
                  << "\n";
    } else {
        std::cout << "loads no (" << read.error << ")\n";
    }
    if (o.rule) {
        std::cout << "allowed " << (Pattern_Allowed_By_Rule(*text, *o.rule) ? "yes" : "no") << " ("
                  << life_display_names[*o.rule] << ")\n";
    } else {
        std::string rules;
        for (int r = 0; r < kLifeRuleCount; ++r)
            if (Pattern_Allowed_By_Rule(*text, r))
                rules += (rules.empty() ? "" : ", ") + std::string(life_display_names[r]);
        std::cout << "allowed for " << (rules.empty() ? "none" : rules) << "\n";
    }
    return read.ok() ? kExitOk : kExitFile;
}

}  // namespace

CommandRun add_pattern_info_command(CLI::App& app) {
    auto o = std::make_shared<PatternInfoOptions>();
    CLI::App* sub =
        app.add_subcommand("pattern-info", "Tell whether a Life 1.05 pattern file loads and for which rule");
    sub->add_option("file", o->file, "The pattern file (.lif)")->required();
    sub->add_option("--rule", o->rule, "Life-family rule 0..11 to test the file against")
        ->check(CLI::Range(0, kLifeRuleCount - 1));
    sub->add_option("--size", o->size, "Field side in cells (100..1000) to count the cells on");
    return [o] { return run_pattern_info(*o); };
}

}  // namespace orvex::tool
