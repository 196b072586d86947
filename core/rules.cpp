#include "core/rules.h"

namespace orvex {

//                                     counts: 0  1  2  3  4  5  6  7  8
const int life_stable[kLifeRuleCount][9] = {
    {0, 1, 1, 0, 0, 1, 0, 0, 0},  // 2x2
    {0, 0, 0, 1, 1, 0, 0, 0, 0},  // 34 Life
    {0, 1, 0, 1, 0, 1, 0, 0, 1},  // Amoeba
    {0, 0, 0, 0, 1, 1, 1, 1, 0},  // Assimilation
    {0, 0, 1, 1, 0, 0, 0, 0, 0},  // Conway's Life
    {0, 0, 0, 0, 1, 1, 1, 1, 1},  // Coral
    {0, 0, 1, 1, 0, 0, 0, 0, 0},  // High Life
    {0, 1, 1, 1, 1, 1, 0, 0, 0},  // Maze
    {0, 1, 1, 1, 1, 0, 0, 0, 0},  // Mazectric
    {0, 0, 0, 0, 0, 0, 0, 0, 0},  // Serviettes
    {0, 0, 1, 1, 0, 1, 1, 1, 1},  // Strains
    {0, 0, 1, 1, 1, 1, 0, 0, 0},  // Walled Cities
};

const int life_born[kLifeRuleCount][9] = {
    {0, 0, 0, 1, 0, 0, 1, 0, 0},  // 2x2
    {0, 0, 0, 1, 1, 0, 0, 0, 0},  // 34 Life
    {0, 0, 0, 1, 0, 1, 0, 1, 0},  // Amoeba
    {0, 0, 0, 1, 1, 1, 0, 0, 0},  // Assimilation
    {0, 0, 0, 1, 0, 0, 0, 0, 0},  // Conway's Life
    {0, 0, 0, 1, 0, 0, 0, 0, 0},  // Coral
    {0, 0, 0, 1, 0, 0, 1, 0, 0},  // High Life
    {0, 0, 0, 1, 0, 0, 0, 0, 0},  // Maze
    {0, 0, 0, 1, 0, 0, 0, 0, 0},  // Mazectric
    {0, 0, 1, 1, 1, 0, 0, 0, 0},  // Serviettes
    {0, 0, 0, 1, 0, 0, 1, 1, 1},  // Strains
    {0, 0, 0, 0, 1, 1, 1, 1, 1},  // Walled Cities
};

const char life_names[kLifeRuleCount][kRuleKeySize] = {
    " 2x2",      " 34life", " amoeba",    " assimilation", " conwayslife", " coral",
    " highlife", " maze",   " mazectric", " serviettes",   " strains",     " walledcities",
};

const int generations_stable[kGenerationsRuleCount][9] = {
    {0, 0, 1, 1, 0, 0, 1, 1, 0},  // Banners
    {0, 0, 1, 1, 0, 0, 0, 0, 0},  // BelZhab
    {0, 0, 1, 1, 1, 0, 0, 0, 0},  // Bloomerang
    {0, 0, 0, 0, 0, 0, 1, 0, 0},  // Brain 6
    {1, 0, 1, 1, 0, 1, 1, 1, 1},  // Burst
    {0, 0, 0, 0, 1, 1, 1, 1, 1},  // Nova
    {0, 0, 0, 0, 1, 1, 1, 1, 1},  // SediMental
    {0, 1, 1, 1, 1, 0, 0, 0, 0},  // ThrillGrill
    {1, 0, 0, 1, 1, 1, 0, 0, 0},  // TransersII
    {0, 1, 0, 0, 1, 1, 1, 0, 0},  // Xtasy
};

const int generations_born[kGenerationsRuleCount][9] = {
    {0, 0, 0, 1, 1, 1, 0, 1, 0},  // Banners
    {0, 0, 1, 1, 0, 0, 0, 0, 0},  // BelZhab
    {0, 0, 0, 1, 1, 0, 1, 1, 1},  // Bloomerang
    {0, 0, 1, 0, 1, 0, 1, 0, 0},  // Brain 6
    {0, 0, 0, 1, 1, 0, 1, 0, 1},  // Burst
    {0, 0, 1, 0, 1, 0, 0, 1, 1},  // Nova
    {0, 0, 1, 0, 0, 1, 1, 1, 1},  // SediMental
    {0, 0, 0, 1, 1, 0, 0, 0, 0},  // ThrillGrill
    {0, 0, 1, 0, 0, 0, 1, 0, 0},  // TransersII
    {0, 0, 1, 1, 0, 1, 1, 0, 0},  // Xtasy
};

const int life_lenght[kGenerationsRuleCount] = {5, 8, 24, 3, 9, 25, 4, 48, 6, 16};

const char generations_names[kGenerationsRuleCount][kRuleKeySize] = {
    " banners", " belzhab",    " bloomerang",  " brain 6",   " burst",
    " nova",    " sedimental", " thrillgrill", " transers2", " xtasy",
};

const char* const life_display_names[kLifeRuleCount] = {
    "2x2",       "34 Life", "Amoeba",    "Assimilation", "Conway's Life", "Coral",
    "High Life", "Maze",    "Mazectric", "Serviettes",   "Strains",       "Walled Cities",
};

const char* const generations_display_names[kGenerationsRuleCount] = {
    "Banners", "BelZhab", "Bloomerang", "Brain 6", "Burst", "Nova", "SediMental", "ThrillGrill", "TransersII", "Xtasy",
};

const char* const family_names[3] = {" Life", "Generation", "Modified Generation"};

unsigned bits_of(const int (&flags)[9]) {
    unsigned bits = 0;
    for (int n = 0; n < 9; ++n)
        if (flags[n]) bits |= 1u << n;
    return bits;
}

RuleSets catalogue_sets(int family, int life_rule) {
    if (family == kLifeRules) {
        const unsigned born = bits_of(life_born[life_rule]);
        return rule_from_counts(born, bits_of(life_stable[life_rule]) | born, 2);
    }
    return rule_from_counts(bits_of(generations_born[life_rule]), bits_of(generations_stable[life_rule]),
                            life_lenght[life_rule]);
}

std::optional<CatalogueRule> catalogue_match(const RuleSets& sets) {
    if (sets.states == 2) {
        for (int r = 0; r < kLifeRuleCount; ++r)
            if (catalogue_sets(kLifeRules, r) == sets) return CatalogueRule{false, r};
        return std::nullopt;
    }
    for (int r = 0; r < kGenerationsRuleCount; ++r)
        if (catalogue_sets(kGenerationRules, r) == sets) return CatalogueRule{true, r};
    return std::nullopt;
}

}  // namespace orvex
