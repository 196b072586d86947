// orvex simulate: run the automaton without a window.
#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>

#include "config/settings.h"
#include "core/automaton.h"
#include "core/field_text.h"
#include "core/rules.h"
#include "tools/orvex/commands.h"
#include "tools/orvex/file_io.h"

namespace orvex::tool {

namespace {

struct SimulateOptions {
    int family = 0;
    int rule = 0;
    int size = kMinFieldSize;
    bool wrap = false;
    long long steps = 100;
    std::string grid;
    std::string dump;
    bool stats = false;
};

std::string family_name(int family) {
    std::string name = family_names[family];
    return name[0] == ' ' ? name.substr(1) : name;
}

std::string rule_name(const Automaton& a) {
    if (a.family() == kFamilyLife) return life_display_names[a.life_rule()];
    return generations_display_names[a.life_rule()];
}

int run_simulate(const SimulateOptions& o) {
    Settings s;
    s.Family = o.family;
    s.life_rule = o.rule;
    s.field_size = o.size;
    s.MatrixTr = o.wrap ? 1 : 0;

    ParsedGrid grid;
    if (!o.grid.empty()) {
        std::string error;
        auto text = read_file(o.grid, &error);
        if (!text) {
            std::cerr << "orvex: " << error << "\n";
            return kExitFile;
        }
        grid = parse_grid(*text, kMinFieldSize, kMaxFieldSize);
        if (!grid.error.empty()) {
            std::cerr << "orvex: --grid '" << o.grid << "': " << grid.error << "\n";
            return kExitFile;
        }
        s.field_size = grid.size;
    }
    normalize_first_stage(s);
    normalize_second_stage(s);

    auto field = std::make_unique<Automaton>(s);
    if (!o.grid.empty()) field->load(grid.cells);

    for (long long k = 0; k < o.steps; ++k) field->step();

    if (!o.dump.empty()) {
        std::string error;
        if (!write_output(o.dump, dump_field(*field), &error)) {
            std::cerr << "orvex: --dump: " << error << "\n";
            return kExitFile;
        }
    }
    if (o.stats) {
        std::cout << "population " << field->population() << "\n";
        std::cout << "steps " << o.steps << "\n";
    }
    if (!o.stats && o.dump.empty()) {
        std::cout << family_name(field->family()) << " / "
                  << rule_name(*field) << ", " << field->field_size() << "x" << field->field_size()
                  << (field->wraps() ? " wrapped" : " closed") << ": " << o.steps
                  << " steps, population " << field->population() << "\n";
    }
    return kExitOk;
}

}  // namespace

CommandRun add_simulate_command(CLI::App& app) {
    auto o = std::make_shared<SimulateOptions>();
    CLI::App* sub = app.add_subcommand("simulate", "Run the automaton without a window");
    sub->add_option("--family", o->family, "Rule family: 0 Life, 1 Generation, 2 Modified Generation");
    sub->add_option("--rule", o->rule, "Rule index within the family");
    sub->add_option("--size", o->size, "Field side in cells (100..1000)");
    sub->add_flag("--wrap", o->wrap, "Transparent borders: the field wraps around");
    sub->add_option("--steps", o->steps, "Generations to run")->check(CLI::NonNegativeNumber);
    sub->add_option("--grid", o->grid, "Starting field in the dump format");
    sub->add_option("--dump", o->dump, "Write the final field to FILE, or - for standard output");
    sub->add_flag("--stats", o->stats, "Print the population and the steps done");
    return [o] { return run_simulate(*o); };
}

}  // namespace orvex::tool
