#include "seed/pattern_formats.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "config/settings.h"
#include "core/rules.h"

namespace orvex {
namespace {

// Each RLE or plaintext text is placed exactly as its Life 1.05 twin.
TEST(SharedFormats, PlacedAsTheLife105FileWithOneBlock) {
    const struct {
        PatternFormat format;
        const char* text;
        std::string life105;  // after "#Life 1.05 #D "
    } cases[] = {
        {PatternFormat::Rle, "#N Glider\n#C c\nx = 3, y = 3, rule = B3/S23\nbo$2bo$3o!", "#P -1 -1 .*. ..* ***"},
        {PatternFormat::Rle, "x=4,y=5\r\n2o$\r\n\r\n2$ 3b\n o!\nignored 5o", "#P -2 -2 ** . . ...*"},
        {PatternFormat::Rle, "#CXRLE Pos=-7,3 Gen=4\nx = 2, y = 1\n2o", "#P -7 3 **"},
        {PatternFormat::Rle, "x = 300, y = 2\n300o$150bo!",
         "#P -150 -1 " + std::string(300, '*') + " " + std::string(150, '.') + "*"},
        {PatternFormat::Rle, "x = 1, y = 1\n$$o7$o!", "#P 0 0 . . * . . . . . . *"},
        {PatternFormat::Rle, "x = 0, y = 0\n!", ""},
        {PatternFormat::Plaintext, "!Name: Glider\n!\n.O.\n..O\r\n***\n\n\n", "#P -1 -1 .*. ..* ***"},
        {PatternFormat::Plaintext, "O\n\n....O\n!late comment\n.O", "#P -2 -2 * . ....* .*"},
    };
    for (const auto& c : cases) {
        const PatternRead got = read_pattern_text(c.text, c.format, 100);
        const PatternRead want = read_life105("#Life 1.05 #D " + c.life105, 100);
        ASSERT_TRUE(got.ok()) << c.text << ": " << got.error;
        EXPECT_EQ(got.cells, want.cells) << c.text;
    }
}

TEST(SharedFormats, StatesAndMalformedTexts) {
    const PatternRead states = read_rle("x = 4, y = 1, rule = B2/S/C3\n.ABpA", 100);
    ASSERT_TRUE(states.ok());
    EXPECT_EQ(states.cells[49 * 100 + 50], 1);
    EXPECT_EQ(states.cells[50 * 100 + 50], 2);
    EXPECT_EQ(states.cells[51 * 100 + 50], 25);

    for (const char* bad :
         {"", "bo$2bo!", "#C only\n", "x = 3\nooo!", "x = 3, y = a\no!", "x = -3, y = 1\no!", "x = 2, y = 2\nozo!",
          "x = 2, y = 2\n3p", "x = 2, y = 2\nyP!", "x = 2, y = 1\npo!", "x = 10000001, y = 1\no!"})
        EXPECT_FALSE(read_rle(bad, 100).ok()) << bad;
    for (const char* bad : {"..O\n.o.", "OO\n#C\n", "O O"}) EXPECT_FALSE(read_plaintext(bad, 100).ok()) << bad;
    EXPECT_TRUE(read_rle("x = 10000001, y = 1\no!", 100).cells.empty());
}

TEST(SharedFormats, HugeClaimsAndRunsStayQuick) {
    const auto start = std::chrono::steady_clock::now();
    std::string huge = "x = 1000000000, y = 1000000000, rule = B3/S23\n";
    while (huge.size() < (std::size_t{4} << 20)) huge += "999999999o999999999b$";
    EXPECT_FALSE(read_rle(huge, 1000).ok());
    huge.replace(0, huge.find('\n'), "x = 9, y = 9");
    const PatternRead runs = read_rle(huge, 1000);  // accepted: runs far past the field are clipped
    ASSERT_TRUE(runs.ok());
    EXPECT_EQ(std::count(runs.cells.begin(), runs.cells.end(), 1), 504 * 505);  // columns -4..499, rows 0..504
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST(RuleNotation, HeaderRulesMatchTheCatalogue) {
    const struct {
        const char* rule;
        int table;  // -1 none, 0 Life, 1 Generations
        int index;
    } cases[] = {
        {"B3/S23", 0, 4},     {"b3s23", 0, 4},         {"23/3", 0, 4},
        {"S23/B3", 0, 4},     {" B3 / S23 ", 0, 4},    {"B3/S23:T100,100", 0, 4},
        {"B3/S23/C2", 0, 4},  {"B36/S23", 0, 6},       {"B2/S", 0, -2},
        {"/234", 0, 9},       {"B45678/S2345", 0, 11}, {"6/246/3", 1, 3},
        {"B246/S6/C3", 1, 3}, {"2367/3457/5", 1, 0},   {"1456/2356/16", 1, 9},
        {"B2/S/C3", -1, 0},   {"/2/3", -1, 0},         {"345/2/4", -1, 0},
        {"B3/S23/C3", -1, 0}, {"B3/S238", -1, 0},      {"B9/S23", -1, 0},
        {"B3/S23-a", -1, 0},  {"LifeHistory", -1, 0},  {"B3", -1, 0},
        {"B3/B3/S23", -1, 0}, {"23/3/1", -1, 0},       {"1/2/3/4", -1, 0},
        {"", -1, 0},
    };
    for (const auto& c : cases) {
        const std::optional<CatalogueRule> got = catalogue_rule(std::string_view(c.rule));
        if (c.index == -2) {
            EXPECT_FALSE(got) << c.rule;  // a rule, but none of the catalogue's
            EXPECT_TRUE(parse_rule(c.rule)) << c.rule;
        } else if (c.table < 0) {
            EXPECT_FALSE(got) << c.rule;
        } else {
            ASSERT_TRUE(got) << c.rule;
            EXPECT_EQ(got->generations, c.table == 1) << c.rule;
            EXPECT_EQ(got->index, c.index) << c.rule;
        }
    }
    EXPECT_TRUE(parse_rule("345/2/4") && parse_rule("/2/3") && parse_rule("B2/S/C3"));
}

TEST(RuleNotation, FitStatesKeepsWhatTheChosenRuleHas) {
    const struct {
        int family, rule;
        std::vector<int32_t> want;  // of 0 1 2 3 47 48
    } cases[] = {
        {kFamilyLife, 4, {0, 1, 0, 0, 0, 0}},
        {kFamilyGeneration, 3, {0, 1, 2, 0, 0, 0}},           // Brain 6: 3 states
        {kFamilyModifiedGeneration, 7, {0, 1, 2, 3, 47, 0}},  // ThrillGrill: 48
        {9, 11, {0, 1, 0, 0, 0, 0}},                          // normalised: Life
        {kFamilyGeneration, 11, {0, 1, 2, 3, 0, 0}},          // normalised: Xtasy, 16
    };
    for (const auto& c : cases) {
        std::vector<int32_t> cells{0, 1, 2, 3, 47, 48};
        fit_states_to_rule(cells, c.family, c.rule);
        EXPECT_EQ(cells, c.want) << c.family << " " << c.rule;
    }
}

}  // namespace
}  // namespace orvex
