// orvex simulate: run the automaton without a window, seeded and reset as the saver does.
//
// The run keeps the saver's tick time instead of the wall clock: every step
// advances a calendar clock by the simulation interval (750 / speed ms), so the
// time check and the reseeding behave as in a saver running that many ticks.
#include <CLI/CLI.hpp>
#include <ctime>
#include <iostream>
#include <memory>
#include <optional>

#include "config/rule_text.h"
#include "config/settings.h"
#include "core/automaton.h"
#include "core/field_text.h"
#include "core/rules.h"
#include "seed/pattern_file.h"
#include "seed/pattern_formats.h"
#include "seed/seeder.h"
#include "seed/simulation.h"
#include "tools/orvex/commands.h"
#include "tools/orvex/file_io.h"

namespace orvex::tool {

namespace {

struct SimulateOptions {
    int family = 0;
    std::string rule;  // a catalogue index, a rule in notation, or empty
    int size = kMinFieldSize;
    bool wrap = false;
    long long steps = 100;
    std::string grid;
    std::optional<int> seed;
    std::optional<long long> rng_seed;
    std::string pattern_file;
    int reset = kResetOff;
    double reset_time = 10.0;
    int speed = 1;
    std::string dump;
    bool stats = false;
};

// Far beyond any calendar second, and far enough below the 64-bit limit that
// the tick clock cannot overflow however long a run lasts.
constexpr long long kMaxRngSeed = 1'000'000'000'000'000LL;

// Calendar seconds of the saver's ticks: starts at `start`, one interval per step.
struct TickClock {
    std::int64_t start;
    std::int64_t elapsed_ms = 0;
    std::int64_t now() const { return start + elapsed_ms / 1000; }
};

std::string family_name(int family) {
    std::string name = family_names[family];
    return name[0] == ' ' ? name.substr(1) : name;
}

std::string rule_name(const Automaton& a) {
    if (a.own_rule()) return rule_notation(a.rule());
    if (a.family() == kFamilyLife) return life_display_names[a.life_rule()];
    return generations_display_names[a.life_rule()];
}

bool is_index(const std::string& text) {
    return !text.empty() && text.size() < 9 && text.find_first_not_of("0123456789") == std::string::npos;
}

int run_simulate(const SimulateOptions& o) {
    Settings s;
    s.Family = o.family;
    if (is_index(o.rule)) {
        s.life_rule = std::stoi(o.rule);
    } else if (!o.rule.empty()) {
        const RuleRead read = read_rule(o.rule);
        if (!read.rule) {
            std::cerr << "orvex: --rule: " << read.error << "\n";
            return kExitUsage;
        }
        s.rule_text = o.rule;
    }
    s.field_size = o.size;
    s.MatrixTr = o.wrap ? 1 : 0;
    s.ResetMode = o.reset;
    s.ResetTimeValue = o.reset_time;
    s.speed = o.speed;
    s.pattern = o.seed.value_or(0);

    std::vector<int32_t> pattern_matrix;
    if (!o.grid.empty()) {
        std::string error;
        auto text = read_file(o.grid, &error);
        if (!text) {
            std::cerr << "orvex: " << error << "\n";
            return kExitFile;
        }
        ParsedGrid grid = parse_grid(*text, kMinFieldSize, kMaxFieldSize);
        if (!grid.error.empty()) {
            std::cerr << "orvex: --grid '" << o.grid << "': " << grid.error << "\n";
            return kExitFile;
        }
        s.field_size = grid.size;
        s.pattern = kPatternFromFile;  // every seeding, resets included, starts from the grid
        pattern_matrix = std::move(grid.cells);
    }
    normalize_first_stage(s);
    if (!o.pattern_file.empty()) {
        PatternRead read = read_pattern_file(o.pattern_file, s.field_size);
        if (read.ok() && o.rule.empty()) {
            // With no rule asked for, the file runs under the one its header names.
            const std::optional<std::string> text = read_file(o.pattern_file, nullptr);
            if (const std::optional<RuleSets> own =
                    text ? pattern_rule(format_for_name(o.pattern_file), *text) : std::nullopt)
                s.rule_text = rule_notation(*own);
        }
        if (read.ok()) {
            s.pattern = kPatternFromFile;
            fit_states_to_rule(read.cells, s);
            pattern_matrix = std::move(read.cells);
        } else {
            std::cerr << "orvex: --pattern-file '" << o.pattern_file << "': " << read.error << "; seeding "
                      << seed_names[0] << " instead, as the saver does\n";
            s.pattern = 0;
        }
    }
    normalize_second_stage(s);

    TickClock ticks{o.rng_seed ? static_cast<std::int64_t>(*o.rng_seed)
                               : static_cast<std::int64_t>(std::time(nullptr))};
    auto sim = std::make_unique<Simulation>(s, std::move(pattern_matrix), [&ticks] { return ticks.now(); });
    sim->start();
    const int interval_ms = 750 / s.speed;
    for (long long k = 0; k < o.steps; ++k) {
        ticks.elapsed_ms += interval_ms;
        sim->tick();
    }
    const Automaton& field = sim->field();

    if (!o.dump.empty()) {
        std::string error;
        if (!write_output(o.dump, dump_field(field), &error)) {
            std::cerr << "orvex: --dump: " << error << "\n";
            return kExitFile;
        }
    }
    if (o.stats) {
        std::cout << "population " << field.population() << "\n";
        std::cout << "steps " << o.steps << "\n";
        std::cout << "resets " << sim->resets() << "\n";
    }
    if (!o.stats && o.dump.empty()) {
        std::cout << family_name(field.family()) << " / " << rule_name(field) << ", " << field.field_size() << "x"
                  << field.field_size() << (field.wraps() ? " wrapped" : " closed") << ": " << o.steps
                  << " steps, population " << field.population();
        if (s.ResetMode != kResetOff) std::cout << ", resets " << sim->resets();
        std::cout << "\n";
    }
    return kExitOk;
}

}  // namespace

CommandRun add_simulate_command(CLI::App& app) {
    auto o = std::make_shared<SimulateOptions>();
    CLI::App* sub = app.add_subcommand("simulate", "Run the automaton without a window");
    sub->add_option("--family", o->family, "Rule family: 0 Life, 1 Generation, 2 Modified Generation");
    sub->add_option("--rule", o->rule,
                    "Rule index within the family, or a rule in notation (B3/S23, B2/S/C3, 345/2/4, B2-a/S12); "
                    "with --pattern-file and no --rule, the rule the file names");
    sub->add_option("--size", o->size, "Field side in cells (100..1000)");
    sub->add_flag("--wrap", o->wrap, "Transparent borders: the field wraps around");
    sub->add_option("--steps", o->steps, "Generations to run")->check(CLI::NonNegativeNumber);
    auto* grid = sub->add_option("--grid", o->grid, "Starting field in the dump format (also the seed of every reset)");
    auto* seed = sub->add_option("--seed", o->seed,
                                 "Built-in seed: 0 Random_Points (default), 1 Random_Blocks, 2 Small_Blocks, "
                                 "3 Random_Circles, 4 Big_Circles, 5 Block 5*5, 6 Block 25*25")
                     ->check(CLI::Range(0, 6));
    auto* file = sub->add_option("--pattern-file", o->pattern_file,
                                 "Seed from a pattern file (Life 1.05 .lif, RLE .rle, plaintext .cells)");
    grid->excludes(seed)->excludes(file);
    seed->excludes(file);
    sub->add_option("--rng-seed", o->rng_seed, "Calendar second of the first seeding, instead of the clock")
        ->check(CLI::Range(0LL, kMaxRngSeed));
    sub->add_option("--reset", o->reset, "Automatic reset: 0 off (default), 1 when the field repeats, 2 by time")
        ->check(CLI::Range(0, 2));
    sub->add_option("--reset-time", o->reset_time, "Seconds between time resets (10..600)");
    sub->add_option("--speed", o->speed, "Saver speed 1..25: one step every 750/speed ms of tick time");
    sub->add_option("--dump", o->dump, "Write the final field to FILE, or - for standard output");
    sub->add_flag("--stats", o->stats, "Print the population, the steps done and the resets");
    return [o] { return run_simulate(*o); };
}

}  // namespace orvex::tool
