// Rules as people write them: B/S ("B3/S23", "b3s23", "23/3"), Generations
// ("B2/S/C3", "B2/S/3", "345/2/4", "/2/3") and isotropic non-totalistic rules in
// Hensel notation ("B2-a/S12", "B2ce3/S23-q", also with a state count), read
// with the meaning Golly gives them.
//
// A rule is held as two sets of neighbourhoods: bit k of a set stands for a
// cell whose eight neighbours are live as the bits of k say, in this order:
//
//   bit 0 NW   bit 1 N   bit 2 NE
//   bit 3 W              bit 4 E
//   bit 5 SW   bit 6 S   bit 7 SE
//
// A totalistic rule is one whose sets hold every neighbourhood of a count or
// none of them.
#pragma once

#include <bitset>
#include <optional>
#include <string>
#include <string_view>

namespace orvex {

using Neighbourhoods = std::bitset<256>;

constexpr int kMaxRuleStates = 256;
constexpr std::size_t kMaxRuleText = 256;

struct RuleSets {
    Neighbourhoods birth;    // an empty cell with such neighbours becomes live
    Neighbourhoods survive;  // a live cell with such neighbours stays live
    int states = 2;          // 2: B/S; 3..256: Generations (1 live, 2.. dying)

    bool totalistic() const;
    // Bit n set when the set holds the neighbourhoods of n live neighbours
    // (all of them, for a totalistic rule).
    unsigned birth_counts() const;
    unsigned survive_counts() const;

    friend bool operator==(const RuleSets& a, const RuleSets& b) {
        return a.birth == b.birth && a.survive == b.survive && a.states == b.states;
    }
};

// A totalistic rule from count sets (bit n: count n).
RuleSets rule_from_counts(unsigned birth, unsigned survive, int states);

struct RuleRead {
    std::optional<RuleSets> rule;
    std::string error;  // one line naming the text and what is wrong; empty when read
};

// Letter case and blanks don't matter. A bounded-grid suffix after ':' (":T100,100")
// is not part of the rule and is left out.
RuleRead read_rule(std::string_view text);

// The rule in B/S notation: "B3/S23", "B2-a/S12", "B2/S/C3".
std::string rule_notation(const RuleSets& rule);

// The family (0 Life, 1 Generation, 2 Modified Generation) a rule runs under
// when the user chose 'family': a two-state rule under Life, one with more
// states under Generation unless Modified Generation is chosen.
inline int family_for(const RuleSets& rule, int family) {
    if (rule.states == 2) return 0;
    return family == 2 ? 2 : 1;
}

// Live neighbours in neighbourhood k.
inline int live_neighbours(unsigned k) { return static_cast<int>(std::bitset<8>(k).count()); }

}  // namespace orvex
