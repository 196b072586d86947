// The rule catalogue: 12 Life-family rules and 10 Generations rules, built in
// and never changed. Rows are indexed by life_rule; column n of a flag table is
// the live-neighbour count (0..8).
#pragma once

#include <optional>
#include <string>

#include "config/rule_text.h"

namespace orvex {

// The three rule families. Life reads the Life tables; Generation and Modified
// Generation read the Generations tables and differ in how a cell in its last
// state goes on.
enum RuleFamily : int { kLifeRules = 0, kGenerationRules = 1, kModifiedGenerationRules = 2 };

constexpr int kLifeRuleCount = 12;
constexpr int kGenerationsRuleCount = 10;
constexpr int kRuleKeySize = 15;  // fixed, NUL-padded key fields

extern const int life_stable[kLifeRuleCount][9];
extern const int life_born[kLifeRuleCount][9];
extern const char life_names[kLifeRuleCount][kRuleKeySize];

extern const int generations_stable[kGenerationsRuleCount][9];
extern const int generations_born[kGenerationsRuleCount][9];
extern const int life_lenght[kGenerationsRuleCount];  // number of cell states L
extern const char generations_names[kGenerationsRuleCount][kRuleKeySize];

// Names as the configuration dialog lists them, in table order.
extern const char* const life_display_names[kLifeRuleCount];
extern const char* const generations_display_names[kGenerationsRuleCount];
extern const char* const family_names[3];

// A row of a flag table as bits (bit n: column n).
unsigned bits_of(const int (&flags)[9]);

// Catalogue rule (family, life_rule) as sets, with the meaning the step gives
// it: a Life-family rule keeps a live cell whose count is in its birth set, so
// its survive set takes the birth set in (High Life runs as B36/S236). Valid
// only for a normalised pair.
RuleSets catalogue_sets(int family, int life_rule);

struct CatalogueRule {
    bool generations = false;  // which table: Life (12 rules) or Generations (10)
    int index = 0;             // life_rule in that table
};

// The catalogue rule that runs exactly as these sets do.
std::optional<CatalogueRule> catalogue_match(const RuleSets& sets);

}  // namespace orvex
