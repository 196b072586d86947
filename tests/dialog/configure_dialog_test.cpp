// What the Wine dialog tests don't reach: the filter against the chosen rule,
// repeated choices, and the boxes' text rules on OK.
#include "dialog/configure_dialog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog/dialog_ids.h"
#include "tests/dialog/fake_maker_files.h"

namespace orvex {
namespace {

FakeMakerFiles two_pattern_files() {
    FakeMakerFiles files;
    files.add_pattern("Glider.lif", kLifeFor2x2);
    files.add_pattern("Acorn.lif", "#Life 1.05\n#D conwayslife\n#P 0 0\n*\n");
    files.add_picture("sea.bmp");
    return files;
}

TEST(ConfigureDialogState, FilterFollowsTheRuleAndRepeatedChoicesKeepThePattern) {
    FakeMakerFiles files = two_pattern_files();
    DialogSettings read = dialog_settings_without_file();
    read.pattern_name = "Acorn";
    ConfigureDialogState state(files, read);
    EXPECT_EQ(state.values().pattern, 8);

    state.command(IDC_ONLY_RULE_PATTERNS);  // rule 0 ("2x2"): Glider only
    EXPECT_EQ(state.pattern_list().entries.back(), "Glider");
    EXPECT_EQ(state.choose_rule(4) & kRefreshPatternList, kRefreshPatternList);
    EXPECT_EQ(state.pattern_list().entries.back(), "Acorn");
    EXPECT_EQ(state.pattern_list().entries.size(), 8u);

    state.choose_pattern(7);
    EXPECT_EQ(state.choose_rule(4), kRefreshSelections);
    EXPECT_EQ(state.choose_family(0), kRefreshSelections);
    EXPECT_EQ(state.values().pattern, 7);
}

DialogSettings take(ConfigureDialogState& state) {
    return state.take("250", "18", "12", state.family_list().selected, state.rule_list().selected,
                      state.pattern_list().selected, 0);
}

TEST(ConfigureDialogState, TypedRulesSelectCatalogueOrCustomAndOkWritesThem) {
    FakeMakerFiles files = two_pattern_files();
    ConfigureDialogState state(files, dialog_settings_without_file());
    state.type_rule(" b3s23 ");
    EXPECT_EQ(state.rule_list().selected, 4);  // Conway's Life
    state.type_rule("b36s23");
    EXPECT_EQ(state.type_rule("B9"), kRefreshRuleNotes);
    DialogSettings d = take(state);  // Custom, with the last rule that read, in B/S notation
    EXPECT_EQ(d.rule_text + " " + std::to_string(d.life_rule) + " " + state.rule_list().entries[12],
              "B36/S23 4 Custom");

    state.choose_rule(6);  // High Life from the list; Custom stays to be chosen again
    EXPECT_EQ(state.rule_box_text() + " " + take(state).rule_text, "B36/S236 ");
    state.type_rule("B2/S/C3");  // a Generations rule of one's own, under that family
    state.choose_rule(9);        // Xtasy
    state.choose_rule(10);
    d = take(state);
    EXPECT_EQ(d.rule_text + " " + std::to_string(d.iFamily), "B2/S/C3 1");
    state.command(IDC_DEFAULT);
    EXPECT_EQ(state.rule_box_text() + " " + take(state).rule_text, "B2356/S1456/C16 ");
}

TEST(ConfigureDialogState, FilterByTheRuleThatRunsAndThePatternsOwnRuleOffered) {
    FakeMakerFiles files = two_pattern_files();
    files.add_pattern("Conway_HL.lif", "#Life 1.05\n#D conwayslife\n#R 23/36\n#P 0 0\n*\n");
    files.add_pattern("own.rle", "x = 1, y = 1, rule = B36/S245\no!\n");
    DialogSettings read = dialog_settings_without_file();
    read.iAllPatterns = 1;
    ConfigureDialogState state(files, read);
    const auto listed = [&state] {
        const std::vector<std::string>& all = state.pattern_list().entries;
        return std::vector<std::string>(all.begin() + kBuiltInPatternCount, all.end());
    };
    state.type_rule("B36/S245");
    EXPECT_EQ(listed(), std::vector<std::string>{"own.rle"});
    state.type_rule("B3/S23");
    EXPECT_EQ(listed(), (std::vector<std::string>{"Acorn", "Conway_HL"}));

    state.choose_pattern(8);  // Conway_HL, whose header names B36/S23
    EXPECT_EQ(state.pattern_rule_offer(), "Run it as B36/S23");
    state.command(IDC_PATTERN_RULE);
    EXPECT_EQ(state.rule_list().entries[static_cast<std::size_t>(state.rule_list().selected)], "Custom");
    EXPECT_EQ(listed(), std::vector<std::string>{"Conway_HL"});
    EXPECT_EQ(state.pattern_list().selected, 7);  // the pattern stays chosen
}

TEST(ConfigureDialogState, OkTakesBoxTextsAsAtoiAndAtofWould) {
    FakeMakerFiles files = two_pattern_files();
    ConfigureDialogState state(files, dialog_settings_without_file());
    DialogSettings d = state.take("2000", "99999999999999999999", "700.5", 0, 0, -1, 1);
    EXPECT_EQ(d.field_size, 1000);
    EXPECT_EQ(d.speed, 25);  // saturated, not overflowed
    EXPECT_EQ(d.iResetTime, 600.0f);
    EXPECT_EQ(d.picture_name, "sea");
    EXPECT_EQ(d.pattern_name, "Random_Points");  // no selection counts as the first entry

    // Only the first 29 characters count; what is not a number is 0.
    d = state.take(std::string(28, '0') + "500", "  7x", "abc", 0, 0, 0, 0);
    EXPECT_EQ(d.field_size, 100);
    EXPECT_EQ(d.speed, 7);
    EXPECT_EQ(d.iResetTime, 10.0f);
    EXPECT_EQ(state.take("", "", " 45.5", 0, 0, 0, 0).iResetTime, 45.5f);
    EXPECT_EQ(state.reset_time_text(), "45.50");
}

}  // namespace
}  // namespace orvex
