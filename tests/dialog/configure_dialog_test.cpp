// What the Wine dialog tests don't reach: the filter against the chosen rule,
// repeated choices, and the boxes' text rules on OK.
#include "dialog/configure_dialog.h"

#include <gtest/gtest.h>

#include <string>

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
