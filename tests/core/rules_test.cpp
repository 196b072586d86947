// The catalogue against an independent transcription in the usual rule notation.
#include "core/rules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace orvex {
namespace {

std::string digits(const int* flags) {
    std::string s;
    for (int n = 0; n <= 8; ++n)
        if (flags[n]) s += static_cast<char>('0' + n);
    return s;
}

TEST(Rules, LifeFamilyTables) {
    // survive/birth
    const char* expected[kLifeRuleCount] = {
        "125/36", "34/34",   "1358/357", "4567/345", "23/3",        "45678/3",
        "23/36",  "12345/3", "1234/3",   "/234",     "235678/3678", "2345/45678",
    };
    for (int r = 0; r < kLifeRuleCount; ++r)
        EXPECT_EQ(digits(life_stable[r]) + "/" + digits(life_born[r]), expected[r]) << life_display_names[r];
}

TEST(Rules, GenerationsTables) {
    // survive/birth/states
    const char* expected[kGenerationsRuleCount] = {
        "2367/3457/5",   "23/23/8",       "234/34678/24", "6/246/3",   "0235678/3468/9",
        "45678/2478/25", "45678/25678/4", "1234/34/48",   "0345/26/6", "1456/2356/16",
    };
    for (int r = 0; r < kGenerationsRuleCount; ++r) {
        EXPECT_EQ(
            digits(generations_stable[r]) + "/" + digits(generations_born[r]) + "/" + std::to_string(life_lenght[r]),
            expected[r])
            << generations_display_names[r];
        EXPECT_GE(life_lenght[r], 3);
    }
}

TEST(Rules, KeysAndDisplayNamesOfEveryRule) {
    struct Row {
        const char* key;
        const char* name;
    };
    const Row life[kLifeRuleCount] = {
        {" 2x2", "2x2"},
        {" 34life", "34 Life"},
        {" amoeba", "Amoeba"},
        {" assimilation", "Assimilation"},
        {" conwayslife", "Conway's Life"},
        {" coral", "Coral"},
        {" highlife", "High Life"},
        {" maze", "Maze"},
        {" mazectric", "Mazectric"},
        {" serviettes", "Serviettes"},
        {" strains", "Strains"},
        {" walledcities", "Walled Cities"},
    };
    const Row generations[kGenerationsRuleCount] = {
        {" banners", "Banners"},       {" belzhab", "BelZhab"},
        {" bloomerang", "Bloomerang"}, {" brain 6", "Brain 6"},
        {" burst", "Burst"},           {" nova", "Nova"},
        {" sedimental", "SediMental"}, {" thrillgrill", "ThrillGrill"},
        {" transers2", "TransersII"},  {" xtasy", "Xtasy"},
    };
    for (int r = 0; r < kLifeRuleCount; ++r) {
        EXPECT_STREQ(life_names[r], life[r].key) << r;
        EXPECT_STREQ(life_display_names[r], life[r].name) << r;
    }
    for (int r = 0; r < kGenerationsRuleCount; ++r) {
        EXPECT_STREQ(generations_names[r], generations[r].key) << r;
        EXPECT_STREQ(generations_display_names[r], generations[r].name) << r;
    }
    EXPECT_STREQ(family_names[1], "Generation");
    EXPECT_STREQ(family_names[2], "Modified Generation");
}

TEST(Rules, KeysHaveOneLeadingBlankAndFitTheirField) {
    for (int r = 0; r < kLifeRuleCount; ++r) {
        EXPECT_EQ(life_names[r][0], ' ');
        EXPECT_NE(life_names[r][1], ' ');
        EXPECT_LT(std::strlen(life_names[r]), static_cast<size_t>(kRuleKeySize));
    }
    for (int r = 0; r < kGenerationsRuleCount; ++r) EXPECT_EQ(generations_names[r][0], ' ');
    EXPECT_STREQ(life_names[4], " conwayslife");
    EXPECT_STREQ(generations_names[3], " brain 6");
    EXPECT_STREQ(family_names[0], " Life");
}

}  // namespace
}  // namespace orvex
