// orvex pattern-info: what the saver and its dialog make of a pattern file.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <iostream>
#include <memory>
#include <optional>

#include "config/settings.h"
#include "core/rules.h"
#include "seed/pattern_file.h"
#include "seed/pattern_formats.h"
#include "tools/orvex/commands.h"
#include "tools/orvex/file_io.h"

namespace orvex::tool {

namespace {

struct PatternInfoOptions {
    std::string file;
    std::optional<int> rule;
    int size = kMinFieldSize;
};

std::string catalogue_text(const std::optional<CatalogueRule>& rule) {
    if (!rule) return "none";
    if (rule->generations) return std::string(generations_display_names[rule->index]) + " (Generations)";
    return std::string(life_display_names[rule->index]) + " (Life)";
}

// Format, size and rule, as the file's header or rows give them.
void print_facts(PatternFormat format, const std::string& text) {
    std::cout << "format " << format_name(format) << "\n";
    const std::optional<RuleSets> named = pattern_rule(format, text);
    if (format == PatternFormat::Life105) {
        if (named) std::cout << "runs as " << rule_notation(*named) << "\n";
        return;
    }
    PatternFacts facts;
    if (format == PatternFormat::Rle) {
        std::optional<PatternFacts> read = rle_facts(text);
        if (!read) return;
        facts = std::move(*read);
    } else {
        read_plaintext(text, kMinFieldSize, &facts);
    }
    std::cout << "size " << facts.width << "x" << facts.height << "\n";
    if (format != PatternFormat::Rle) return;
    std::cout << "rule " << (facts.rule.empty() ? "none" : facts.rule) << "\n";
    if (named)
        std::cout << "runs as " << rule_notation(*named) << "\n";
    else if (!facts.rule.empty())
        std::cout << "runs as none (" << read_rule(facts.rule).error << ")\n";
    std::cout << "catalogue rule " << catalogue_text(facts.catalogue) << "\n";
}

int run_pattern_info(const PatternInfoOptions& o) {
    std::string error;
    auto text = read_file(o.file, &error);
    if (!text) {
        std::cerr << "orvex: " << error << "\n";
        std::cout << "loads no\n";
        return kExitFile;
    }
    const PatternFormat format = format_for_name(o.file);
    print_facts(format, *text);
    const int size = std::clamp(o.size, kMinFieldSize, kMaxFieldSize);
    PatternRead read = read_pattern_text(*text, format, size);
    if (read.ok() && text->size() > kMaxPatternFileBytes)
        read = PatternRead{{}, "larger than the saver reads, " + std::to_string(kMaxPatternFileBytes) + " bytes"};
    if (read.ok()) {
        std::cout << "loads yes\n";
        std::cout << "cells "
                  << read.cells.size() - static_cast<std::size_t>(std::count(read.cells.begin(), read.cells.end(), 0))
                  << " on " << size << "x" << size << "\n";
    } else {
        std::cout << "loads no (" << read.error << ")\n";
    }
    if (o.rule) {
        std::cout << "allowed " << (pattern_allowed_by_rule(format, *text, *o.rule) ? "yes" : "no") << " ("
                  << life_display_names[*o.rule] << ")\n";
    } else {
        std::string rules;
        for (int r = 0; r < kLifeRuleCount; ++r)
            if (pattern_allowed_by_rule(format, *text, r))
                rules += (rules.empty() ? "" : ", ") + std::string(life_display_names[r]);
        std::cout << "allowed for " << (rules.empty() ? "none" : rules) << "\n";
    }
    return read.ok() ? kExitOk : kExitFile;
}

}  // namespace

CommandRun add_pattern_info_command(CLI::App& app) {
    auto o = std::make_shared<PatternInfoOptions>();
    CLI::App* sub = app.add_subcommand(
        "pattern-info",
        "Tell a pattern file's format, size and rule, whether it loads and for which rule the dialog lists it");
    sub->add_option("file", o->file, "The pattern file (.lif, .rle or .cells)")->required();
    sub->add_option("--rule", o->rule, "Life-family rule 0..11 to test the file against")
        ->check(CLI::Range(0, kLifeRuleCount - 1));
    sub->add_option("--size", o->size, "Field side in cells (100..1000) to count the cells on");
    return [o] { return run_pattern_info(*o); };
}

}  // namespace orvex::tool
