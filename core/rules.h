// The rule catalogue: 12 Life-family rules and 10 Generations rules, built in
// and never changed. Rows are indexed by life_rule; column n of a flag table is
// the live-neighbour count (0..8).
#pragma once

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

// Survive and birth flags of one rule as seen by the step: Family 0 reads the
// Life tables, Families 1 and 2 the Generations tables. states is 2 for Life.
struct RuleView {
    const int* stable;
    const int* born;
    int states;
};

// Valid only for a normalised (family, rule) pair.
RuleView rule_view(int family, int rule);

}  // namespace orvex
