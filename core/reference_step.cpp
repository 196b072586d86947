#include "core/reference_step.h"

#include "core/rules.h"

namespace orvex {

namespace {
constexpr int S = ReferenceAutomaton::kStride;
}

ReferenceAutomaton::ReferenceAutomaton(const FieldSetup& setup)
    : Family(setup.rule ? family_for(*setup.rule, setup.family) : setup.family),
      life_rule(setup.life_rule),
      field_size_(setup.field_size),
      MatrixTr(setup.wraps ? 1 : 0),
      life(S * S, 0),
      life_tmp(S * S, 0),
      life_to_grow(S * S, 0) {
    own_rule = setup.rule;
    if (own_rule) {
        own_totalistic = own_rule->totalistic();
        own_birth_counts = own_rule->birth_counts();
        own_survive_counts = own_rule->survive_counts();
    }
}

void ReferenceAutomaton::clear() {
    for (int i = 0; i < field_size_; i++)
        for (int j = 0; j < field_size_; j++) {
            life[i * S + j] = 0;
            life_to_grow[i * S + j] = 0;
        }
}

void ReferenceAutomaton::neighbour_indices() {
    jlp1 = jl + 1;
    jlm1 = jl - 1;
    if (MatrixTr) {
        if (jl == 0) jlm1 = field_size_ - 1;
        if (jl == field_size_ - 1) jlp1 = 0;
    } else {
        if (jl == 0) jlm1 = 0;
        if (jl == field_size_ - 1) jlp1 = field_size_ - 1;
    }
}

void ReferenceAutomaton::step() {
    if (Family < 0 || Family > 2) return;
    auto L = [&](int i, int j) -> int32_t& { return life[i * S + j]; };
    auto live = [&](int i, int j) { return L(i, j) == 1 ? 1 : 0; };
    // Counts above 8 (only possible with Life-family values above 1) are in no set.
    auto flag = [](const int* row, int n) { return n >= 0 && n <= 8 && row[n] == 1; };

    const int* stable = Family == 0 ? life_stable[life_rule] : generations_stable[life_rule];
    const int* born = Family == 0 ? life_born[life_rule] : generations_born[life_rule];
    const int len = own_rule ? own_rule->states : Family == 0 ? 2 : life_lenght[life_rule];
    std::vector<int32_t>& buffer = Family == 0 ? life_tmp : life_to_grow;

    if (Family == 1)
        for (int i = 0; i < field_size_; i++)
            for (int j = 0; j < field_size_; j++) life_to_grow[i * S + j] = 0;

    for (il = 0; il < field_size_; il++) {
        ilp1 = il + 1;
        ilm1 = il - 1;
        if (MatrixTr) {
            if (il == 0) ilm1 = field_size_ - 1;
            if (il == field_size_ - 1) ilp1 = 0;
        } else {
            if (il == 0) ilm1 = 0;
            if (il == field_size_ - 1) ilp1 = field_size_ - 1;
        }
        for (jl = 0; jl < field_size_; jl++) {
            neighbour_indices();
            int32_t& out = buffer[il * S + jl];
            if (own_rule) {
                own_rule_cell(out);
                continue;
            }
            if (Family == 0) {
                int n = L(ilm1, jlm1) + L(il, jlm1) + L(ilp1, jlm1) + L(ilm1, jlp1) + L(il, jlp1) + L(ilp1, jlp1) +
                        L(ilm1, jl) + L(ilp1, jl);
                if (flag(born, n))
                    out = 1;
                else if (flag(stable, n))
                    out = L(il, jl);
                else
                    out = 0;
                continue;
            }
            int n = live(ilm1, jlm1) + live(il, jlm1) + live(ilp1, jlm1) + live(ilm1, jlp1) + live(il, jlp1) +
                    live(ilp1, jlp1) + live(ilm1, jl) + live(ilp1, jl);
            int32_t s = L(il, jl);
            if (Family == 1) {
                if (s == 0) {
                    if (flag(born, n)) out = 1;
                } else if (s == 1) {
                    if (flag(stable, n))
                        out = 1;
                    else
                        out = (s == len - 1) ? 0 : s + 1;
                } else {
                    out = (s == len - 1) ? 0 : s + 1;
                }
                continue;
            }
            // Modified Generation: age in place, then apply the rule to the aged value.
            if (s > 1) L(il, jl) = (s == len - 1) ? 0 : s + 1;
            int32_t t = L(il, jl);
            if (t == 0) {
                if (flag(born, n)) out = 1;
            } else if (!flag(stable, n)) {
                out = (t == len - 1) ? 0 : t + 1;
            } else {
                out = t;
            }
        }
    }

    for (int i = 0; i < field_size_; i++)
        for (int j = 0; j < field_size_; j++) life[i * S + j] = buffer[i * S + j];
}

// A rule of its own, written out from its sets: a totalistic rule by the count
// as above, any other by which neighbours are live (state 1).
void ReferenceAutomaton::own_rule_cell(int32_t& out) {
    auto L = [&](int i, int j) -> int32_t& { return life[i * S + j]; };
    auto live = [&](int i, int j) { return L(i, j) == 1 ? 1u : 0u; };
    const RuleSets& rule = *own_rule;
    const int len = rule.states;
    bool born, survives;
    if (own_totalistic) {
        int n = Family == 0 ? L(ilm1, jlm1) + L(ilm1, jl) + L(ilm1, jlp1) + L(il, jlm1) + L(il, jlp1) + L(ilp1, jlm1) +
                                  L(ilp1, jl) + L(ilp1, jlp1)
                            : static_cast<int>(live(ilm1, jlm1) + live(ilm1, jl) + live(ilm1, jlp1) + live(il, jlm1) +
                                               live(il, jlp1) + live(ilp1, jlm1) + live(ilp1, jl) + live(ilp1, jlp1));
        born = n <= 8 && (own_birth_counts >> n & 1);
        survives = n <= 8 && (own_survive_counts >> n & 1);
    } else {
        const unsigned k = live(ilm1, jlm1) | live(ilm1, jl) << 1 | live(ilm1, jlp1) << 2 | live(il, jlm1) << 3 |
                           live(il, jlp1) << 4 | live(ilp1, jlm1) << 5 | live(ilp1, jl) << 6 | live(ilp1, jlp1) << 7;
        born = rule.birth.test(k);
        survives = rule.survive.test(k);
    }
    int32_t s = L(il, jl);
    if (Family == 0) {
        // B/S as Golly runs it: birth for an empty cell, survival for a live one.
        if (s == 0)
            out = born ? 1 : 0;
        else
            out = !survives ? 0 : born ? 1 : s;
        return;
    }
    if (Family == 1) {
        if (s == 0)
            out = born ? 1 : 0;
        else if (s == 1 && survives)
            out = 1;
        else
            out = (s == len - 1) ? 0 : s + 1;
        return;
    }
    if (s > 1) L(il, jl) = (s == len - 1) ? 0 : s + 1;
    int32_t t = L(il, jl);
    if (t == 0) {
        if (born) out = 1;
    } else if (!survives) {
        out = (t == len - 1) ? 0 : t + 1;
    } else {
        out = t;
    }
}

}  // namespace orvex
