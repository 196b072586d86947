#include "config/rule_text.h"

#include <gtest/gtest.h>

#include <string>

namespace orvex {
namespace {

RuleSets rule(const std::string& text) {
    const RuleRead r = read_rule(text);
    EXPECT_TRUE(r.rule) << text << ": " << r.error;
    return r.rule.value_or(RuleSets{});
}

// Every spelling of one rule reads alike and is written back in one notation.
TEST(RuleText, SpellingsOfOneRule) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> groups = {
        {{"B3/S23", "b3/s23", "B3S23", "23/3", "s23/b3", " B3 / S23 ", "B3/S23:T100,100", "B3/S23/C2"}, "B3/S23"},
        {{"B2/S/C3", "b2/s/c3", "B2/S/3", "/2/3"}, "B2/S/C3"},
        {{"345/2/4", "B2/S345/C4", "S345/B2/C4"}, "B2/S345/C4"},
        {{"B2-a/S12", "B2ceikn/S1ce2", "12/2-a"}, "B2-a/S12"},
        {{"B2ce3/S23-q", "B2ec3/S2cekain3-q", "23-q/2ce3"}, "B2ce3/S23-q"},
        {{"B2-a/S12/C5", "12/2-a/5"}, "B2-a/S12/C5"},
        {{"B4cekainyqjrtwz/S", "B4/S", "/4"}, "B4/S"},
        {{"B3/S23/C256"}, "B3/S23/C256"},
    };
    for (const auto& [spellings, notation] : groups) {
        const RuleSets first = rule(spellings[0]);
        for (const std::string& s : spellings) {
            EXPECT_EQ(rule(s), first) << s;
            EXPECT_EQ(rule_notation(rule(s)), notation) << s;
        }
    }
}

// Hensel's letters of each count split its neighbourhoods into disjoint classes.
// (That notation reads back as the rule written is held by the rule_text fuzz target.)
TEST(RuleText, LettersPartitionEachCount) {
    const std::string letters[9] = {"",       "ce", "cekain", "cekainyqjr", "cekainyqjrtwz", "cekainyqjr",
                                    "cekain", "ce", ""};
    for (int n = 1; n <= 7; ++n) {
        Neighbourhoods seen;
        for (char l : letters[n]) {
            const Neighbourhoods one = rule("B" + std::to_string(n) + l + "/S").birth;
            EXPECT_TRUE(one.any() && (one & seen).none()) << n << l;
            seen |= one;
        }
        EXPECT_EQ(seen, rule("B" + std::to_string(n) + "/S").birth) << n;
    }
}

// What is refused, with one message naming the text and what is wrong.
TEST(RuleText, Refusals) {
    const std::pair<std::string, std::string> cases[] = {
        {"B0/S23", "Rule \"B0/S23\": B0, birth with no live neighbour, is not run here."},
        {"23/03", "Rule \"23/03\": B0, birth with no live neighbour, is not run here."},
        {"B3/S23H", "Rule \"B3/S23H\": the neighbourhood 'H' is not run here, only the eight neighbours of a cell."},
        {"B2/S34V", "Rule \"B2/S34V\": the neighbourhood 'V' is not run here, only the eight neighbours of a cell."},
        {"B9/S23", "Rule \"B9/S23\": a cell has at most 8 neighbours, not 9."},
        {"B9", "Rule \"B9\": a cell has at most 8 neighbours, not 9."},
        {"B1k/S23", "Rule \"B1k/S23\": 1 has no letter 'k'."},
        {"B3/S8c", "Rule \"B3/S8c\": 8 takes no letters."},
        {"B2-/S23", "Rule \"B2-/S23\": '-' after 2 names no letter."},
        {"B3/S23/C1", "Rule \"B3/S23/C1\": the number of states must be 2 to 256, not 1."},
        {"345/2/257", "Rule \"345/2/257\": the number of states must be 2 to 256, not 257."},
        {"B3", "Rule \"B3\": it has no S part."},
        {"B3/B3/S23", "Rule \"B3/B3/S23\": write it as B3/S23, 23/3, B2/S/C3 or 345/2/4."},
        {"1/2/3/4", "Rule \"1/2/3/4\": it has more than three parts."},
        {"LifeHistory", "Rule \"LifeHistory\": write it as B3/S23, 23/3, B2/S/C3 or 345/2/4."},
        {"B3/S2#3", "Rule \"B3/S2#3\": '#' has no place in a rule."},
        {"B3/S2\x01", "Rule \"B3/S2?\": the byte 0x01 has no place in a rule."},
        {"//t}}}}}", "Rule \"//t}}}}}\": the number of states must be 2 to 256."},
        {"", "Rule \"\": there is no rule in it."},
        {"B3/S" + std::string(253, '2'),
         "Rule \"B3/S222222222222222222222222222222222222...\": a rule is at most 256 characters long."},
    };
    for (const auto& [text, message] : cases) {
        const RuleRead r = read_rule(text);
        EXPECT_FALSE(r.rule) << text;
        EXPECT_EQ(r.error, message) << text;
    }
}

}  // namespace
}  // namespace orvex
