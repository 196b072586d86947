// One generation step, production against the literal oracle, by family, side and border;
// and by rule: a catalogue rule against the same rule typed, and typed rules of each kind.
//   build/linux-release/bench/step_bench --benchmark_filter=1000
//   build/linux-release/bench/step_bench --benchmark_filter=BM_Rule
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <random>
#include <type_traits>
#include <vector>

#include "core/automaton.h"
#include "core/reference_step.h"
#include "core/rules.h"

namespace {

using orvex::FieldSetup;

FieldSetup settings_for(int family, int size, int wrap) {
    FieldSetup s;
    s.family = family;
    s.life_rule = family == 0 ? 4 : 1;  // Conway's Life; BelZhab (8 states)
    s.field_size = size;
    s.wraps = wrap != 0;
    return s;
}

// 32-bit cells, as every field was held before byte cells: one cell past the
// rule's states (as a grid file may hold) keeps the field in them.
struct WideAutomaton : orvex::Automaton {
    explicit WideAutomaton(const FieldSetup& s) : Automaton(s) {}
};

// A third of the cells live: a busy field, as right after a Random seed has grown.
template <typename Field>
void seed(Field& f, int size) {
    std::mt19937 rng(42);
    f.clear();
    if constexpr (std::is_same_v<Field, WideAutomaton>) f.set_cell(0, 0, f.states());
    for (int i = 0; i < size; ++i)
        for (int j = 0; j < size; ++j)
            if (rng() % 3 == 0) f.set_cell(i, j, 1);
    for (int k = 0; k < 4; ++k) f.step();  // let dying states appear
}

// The plain SSE2 build of the inner loops, as on a processor without AVX2.
struct Sse2Automaton : orvex::Automaton {
    explicit Sse2Automaton(const FieldSetup& s) : Automaton(s, Kernels::Baseline) {}
};

template <typename Field>
void BM_Step(benchmark::State& state) {
    const int family = static_cast<int>(state.range(0));
    const int size = static_cast<int>(state.range(1));
    const int wrap = static_cast<int>(state.range(2));
    auto f = std::make_unique<Field>(settings_for(family, size, wrap));
    seed(*f, size);
    for (auto _ : state) {
        f->step();
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(size) * size);
}

void Args(benchmark::internal::Benchmark* b) {
    b->ArgNames({"family", "size", "wrap"});
    for (int family : {0, 1, 2})
        for (int size : {100, 250, 1000})
            for (int wrap : {0, 1}) b->Args({family, size, wrap});
    b->Unit(benchmark::kMillisecond);
}

// The yardstick for a step at 1000 x 1000: copying the field's 4 MiB once.
void BM_Memcpy4MiB(benchmark::State& state) {
    std::vector<char> from(std::size_t{4} << 20, 1), to(from.size());
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Memcpy4MiB)->Unit(benchmark::kMillisecond);

// A rule at 1000 x 1000 on a torus, from its catalogue entry or typed.
struct RuleCase {
    const char* text;  // typed rule, or nullptr for the catalogue's (family, rule)
    int family, rule;
};
constexpr RuleCase kRuleCases[] = {
    {nullptr, 0, 4},        // Conway's Life
    {"B3/S23", 0, 0},       // the same, typed
    {nullptr, 0, 6},        // High Life, which runs as B36/S236
    {"B36/S236", 0, 0},     // the same, typed
    {"B36/S23", 0, 0},      // standard HighLife: births from empty cells only
    {"B2-a/S12", 0, 0},     // non-totalistic
    {nullptr, 1, 1},        // BelZhab
    {"23/23/8", 1, 0},      // the same, typed
    {"12/2-a/4", 1, 0},     // non-totalistic Generations
    {"B2-a/S12/C4", 2, 0},  // the same under Modified Generation
};

void BM_Rule(benchmark::State& state) {
    const RuleCase& c = kRuleCases[state.range(0)];
    FieldSetup s = settings_for(c.family, 1000, 1);
    s.life_rule = c.rule;
    if (c.text) s.rule = orvex::read_rule(c.text).rule;
    auto f = std::make_unique<orvex::Automaton>(s);
    seed(*f, 1000);
    for (auto _ : state) {
        f->step();
        benchmark::ClobberMemory();
    }
    state.SetLabel(
        c.text ? c.text
               : (c.family == 0 ? orvex::life_display_names[c.rule] : orvex::generations_display_names[c.rule]));
    state.SetItemsProcessed(state.iterations() * 1000 * 1000);
}
BENCHMARK(BM_Rule)->DenseRange(0, sizeof kRuleCases / sizeof kRuleCases[0] - 1)->Unit(benchmark::kMillisecond);

BENCHMARK_TEMPLATE(BM_Step, orvex::Automaton)->Apply(Args);
BENCHMARK_TEMPLATE(BM_Step, Sse2Automaton)->Apply(Args);
BENCHMARK_TEMPLATE(BM_Step, WideAutomaton)->Apply(Args);
BENCHMARK_TEMPLATE(BM_Step, orvex::ReferenceAutomaton)->Apply(Args);

}  // namespace
