// Rules as pattern files write them, matched to the built-in catalogue.
//
// B/S notation: "B3/S23", "b3s23" (letters in either order, the slash
// optional) or the older "23/3", survive counts first. Generations notation
// adds the number of states: "B2/S/C3", "/2/3" or "345/2/4" (survive, birth,
// states). Counts are the digits 0..8; letters are taken without regard to
// case; a suffix after ':' (a bounded grid such as ":T100,100") is not part of
// the rule and is ignored. Anything else, named or non-totalistic rules
// included, is no rule of the catalogue.
#pragma once

#include <optional>
#include <string_view>

namespace orvex {

struct RuleSets {
    unsigned survive = 0;  // bit n: a live cell with n live neighbours stays
    unsigned birth = 0;    // bit n: an empty cell with n live neighbours is born
    int states = 2;        // 2 for the Life family, 3 and up for Generations
};

std::optional<RuleSets> parse_rule(std::string_view text);

struct CatalogueRule {
    bool generations = false;  // which table: Life (12 rules) or Generations (10)
    int index = 0;             // life_rule in that table
};

// The catalogue rule with exactly these sets (and, for Generations, states).
std::optional<CatalogueRule> catalogue_rule(const RuleSets& sets);
std::optional<CatalogueRule> catalogue_rule(std::string_view text);

}  // namespace orvex
