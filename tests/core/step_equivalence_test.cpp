// The production step against the literal one: every rule of every family, both
// border modes, several sides, random fields (with dying states for the
// Generations families), reseeded half-way, compared cell for cell after each step.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <random>
#include <string>

#include "core/automaton.h"
#include "core/reference_step.h"
#include "core/rules.h"

namespace orvex {
namespace {

struct Case {
    int family, rule, size, wrap;
    std::optional<RuleSets> own = std::nullopt;
};

// Fills both fields with the same random content. density: share of non-empty cells;
// Generations cells that are not empty are live or, half the time, of a random dying
// state; life_values > 1 puts values up to it into a Life field too, and into a
// Generations field values past its last state.
void seed_both(Automaton& a, ReferenceAutomaton& r, std::mt19937& rng, double density, int states, int life_values) {
    a.clear();
    r.clear();
    std::uniform_real_distribution<double> u(0.0, 1.0);
    const int n = a.field_size();
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            if (u(rng) >= density) continue;
            int32_t v = 1;
            if (states > 2 && u(rng) < 0.5) v = 2 + static_cast<int32_t>(rng() % (states - 2));
            if (states == 2 && life_values > 1) v = 1 + static_cast<int32_t>(rng() % life_values);
            if (states > 2 && life_values > 1 && u(rng) < 0.1) v = states + static_cast<int32_t>(rng() % life_values);
            a.set_cell(i, j, v);
            r.set_cell(i, j, v);
        }
}

::testing::AssertionResult same_field(const Automaton& a, const ReferenceAutomaton& r) {
    const int n = a.field_size();
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            if (a.cell(i, j) != r.cell(i, j))
                return ::testing::AssertionFailure() << "cell (" << i << ", " << j << "): production " << a.cell(i, j)
                                                     << ", reference " << r.cell(i, j);
    return ::testing::AssertionSuccess();
}

void run_case(const Case& c, double density, int steps, int life_values, unsigned seed,
              Automaton::Kernels kernels = Automaton::Kernels::Best) {
    FieldSetup s;
    s.family = c.family;
    s.life_rule = c.rule;
    s.field_size = c.size;
    s.wraps = c.wrap != 0;
    s.rule = c.own;
    Automaton a(s, kernels);
    auto r = std::make_unique<ReferenceAutomaton>(s);
    std::mt19937 rng(seed);
    SCOPED_TRACE("family " + std::to_string(c.family) + " rule " +
                 (c.own ? rule_notation(*c.own) : std::to_string(c.rule)) + " size " + std::to_string(c.size) +
                 " wrap " + std::to_string(c.wrap) + " density " + std::to_string(density));
    for (int half = 0; half < 2; ++half) {
        seed_both(a, *r, rng, density, a.states(), life_values);
        for (int k = 0; k < steps; ++k) {
            a.step();
            r->step();
            ASSERT_TRUE(same_field(a, *r)) << "after step " << k + 1 << " of part " << half + 1;
        }
    }
}

int rule_count(int family) { return family == 0 ? kLifeRuleCount : kGenerationsRuleCount; }

TEST(StepEquivalence, EveryRuleFamilyBorderAndSmallSide) {
    unsigned seed = 1;
    for (int family = 0; family < 3; ++family)
        for (int rule = 0; rule < rule_count(family); ++rule)
            for (int wrap = 0; wrap < 2; ++wrap)
                for (int size : {100, 101, 257})
                    for (double density : {0.08, 0.45}) {
                        const int steps = size == 257 ? 8 : 16;
                        run_case({family, rule, size, wrap}, density, steps, 1, seed++);
                        if (HasFatalFailure()) return;
                    }
}

// The plain SSE2 build of the inner loops, where the processor would pick a wider one.
TEST(StepEquivalence, BaselineKernelsEveryRule) {
    unsigned seed = 900;
    for (int family = 0; family < 3; ++family)
        for (int rule = 0; rule < rule_count(family); ++rule)
            for (int wrap = 0; wrap < 2; ++wrap) {
                run_case({family, rule, 101, wrap}, 0.3, 10, 1, seed++, Automaton::Kernels::Baseline);
                if (HasFatalFailure()) return;
            }
}

TEST(StepEquivalence, LargestFieldEveryFamily) {
    for (int family = 0; family < 3; ++family)
        for (int wrap = 0; wrap < 2; ++wrap) {
            const int rule = family == 0 ? 4 : 5;  // Conway's Life, Nova
            run_case({family, rule, 1000, wrap}, 0.3, 3, 1, 100 + family * 2 + wrap);
            if (HasFatalFailure()) return;
        }
}

// Values a grid file may hold beyond the rule's states: in the Life family they make
// counts above 8, in the Generations families they count up past the last state.
// Both kernel builds.
TEST(StepEquivalence, ValuesBeyondTheRuleStates) {
    for (auto kernels : {Automaton::Kernels::Best, Automaton::Kernels::Baseline})
        for (int family = 0; family < 3; ++family)
            for (int rule = 0; rule < rule_count(family); ++rule) {
                run_case({family, rule, 100, rule % 2}, 0.5, 6, 4, 500 + rule, kernels);
                if (HasFatalFailure()) return;
            }
}

}  // namespace
}  // namespace orvex

namespace orvex {
namespace {

// Random rules of their own: B/S with counts born from empty cells only, non-totalistic
// ones (a random half of each count's neighbourhoods, which need not be a union of
// Hensel's classes: the step must not care), and Generations rules up to 256 states,
// past what a byte cell holds. Every family, both borders, both kernel builds.
TEST(StepEquivalence, RulesOfTheirOwn) {
    std::mt19937 rng(77);
    unsigned seed = 3000;
    for (int k = 0; k < 24; ++k) {
        RuleSets r;
        if (k % 3 == 1) {
            for (unsigned hood = 0; hood < 256; ++hood) {
                r.birth.set(hood, hood != 0 && (rng() & 1));
                r.survive.set(hood, rng() & 1);
            }
        } else {
            r = rule_from_counts(static_cast<unsigned>(rng()) & 0x1FE, static_cast<unsigned>(rng()) & 0x1FF, 2);
        }
        r.states = k % 4 == 0 ? 2 : k % 4 == 1 ? 3 : k % 4 == 2 ? 2 + static_cast<int>(rng() % 60) : 200;
        const int family = k % 3;
        for (int wrap = 0; wrap < 2; ++wrap)
            for (auto kernels : {Automaton::Kernels::Best, Automaton::Kernels::Baseline}) {
                run_case({family, 0, 101 + k % 2 * 30, wrap, r}, 0.35, 12, 1, seed++, kernels);
                if (HasFatalFailure()) return;
            }
    }
}

}  // namespace
}  // namespace orvex
