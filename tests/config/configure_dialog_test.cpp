#include "config/configure_dialog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/dialog_ids.h"
#include "tests/config/fake_maker_files.h"

namespace orvex {
namespace {

FakeMakerFiles two_pattern_files() {
    FakeMakerFiles files;
    files.add_pattern("Glider.lif", kLifeFor2x2);
    files.add_pattern("Acorn.lif", "#Life 1.05\n#D conwayslife\n#P 0 0\n*\n");
    return files;
}

TEST(ConfigureDialogState, StartsFromTheDialogReading) {
    FakeMakerFiles files = two_pattern_files();
    ConfigureDialogState state(files, dialog_settings_without_file());
    EXPECT_EQ(state.pattern_list().entries.size(), 9u);
    EXPECT_EQ(state.family_list().entries[0], " Life");
    EXPECT_EQ(state.rule_list().entries[4], "Conway's Life");
    EXPECT_TRUE(state.checked(IDC_RESET_REPEAT));
    EXPECT_TRUE(state.checked(IDC_TRIANGLES));
    EXPECT_EQ(state.reset_time_text(), "10.00");
    // OK with the boxes as shown writes what the dialog reading gave.
    const DialogSettings taken =
        state.take(state.field_size_text(), state.speed_text(), state.reset_time_text(), 0, 0, 0, 0);
    EXPECT_EQ(format_settings_file(taken),
              "1022\r\n1026\r\n0\r\n0\r\n0\r\n1\r\n100\r\n0\r\n0\r\n1045\r\n0\r\n0\r\n0\r\n1050\r\n"
              "10.000000\r\nRandom_Points\r\n--none--\r\n");
}

TEST(ConfigureDialogState, FamilyRuleAndFilterChoices) {
    FakeMakerFiles files = two_pattern_files();
    DialogSettings read = dialog_settings_without_file();
    read.pattern = 3;
    ConfigureDialogState state(files, read);

    state.choose_rule(0);  // the rule already chosen keeps the pattern
    EXPECT_EQ(state.values().pattern, 3);
    const unsigned changed = state.choose_rule(4);
    EXPECT_TRUE(changed & kRefreshPatternList);
    EXPECT_EQ(state.values().pattern, 0);

    state.choose_pattern(7);
    state.command(IDC_ONLY_RULE_PATTERNS);  // filter on, rule 4: only Acorn
    EXPECT_EQ(state.pattern_list().entries.back(), "Acorn");
    EXPECT_EQ(state.pattern_list().entries.size(), 8u);
    EXPECT_EQ(state.values().pattern, 0);

    state.choose_pattern(2);
    state.choose_family(1);
    EXPECT_EQ(state.rule_list().entries.size(), 10u);
    EXPECT_EQ(state.rule_list().entries[state.rule_list().selected], "Banners");
    EXPECT_EQ(state.values().life_rule, 0);
    EXPECT_EQ(state.pattern_list().entries.size(), 7u);  // filter on, not Life: built-ins only
    EXPECT_EQ(state.pattern_list().selected, 0);

    state.command(IDC_ONLY_RULE_PATTERNS);  // filter off: every file again
    EXPECT_EQ(state.pattern_list().entries.size(), 9u);
    state.choose_pattern(5);
    EXPECT_EQ(state.choose_family(1), kRefreshSelections);  // the same family
    EXPECT_EQ(state.values().pattern, 5);
}

TEST(ConfigureDialogState, DefaultKeepsFamilyRuleAndFilter) {
    FakeMakerFiles files = two_pattern_files();
    DialogSettings read = dialog_settings_without_file();
    read.pattern_name = "Acorn";
    read.life_rule = 4;
    read.iTexture = 1;
    ConfigureDialogState state(files, read);
    EXPECT_EQ(state.values().pattern, 8);
    state.command(IDC_PICTURE_CYCLING);
    state.command(IDC_RED);
    EXPECT_TRUE(state.checked(IDC_RED) && state.checked(IDC_PICTURE_CYCLING));

    state.command(IDC_DEFAULT);
    EXPECT_EQ(state.pattern_list().entries.size(), 9u);
    EXPECT_EQ(state.pattern_list().entries[state.pattern_list().selected], "Big_Circles");
    EXPECT_EQ(state.values().life_rule, 4);
    EXPECT_TRUE(state.checked(IDC_BLUE) && state.checked(IDC_LINES) && state.checked(IDC_LIGHTS_1) &&
                state.checked(IDC_RESET_ON_TIME) && state.checked(IDC_ONE_COLOR));
    EXPECT_FALSE(state.checked(IDC_PICTURE_CYCLING) || state.checked(IDC_PICTURE_ON));
    EXPECT_EQ(state.field_size_text() + " " + state.speed_text() + " " + state.reset_time_text(), "250 18 12.00");
}

TEST(ConfigureDialogState, OkTakesBoxesInRangeAndNames) {
    FakeMakerFiles files = two_pattern_files();
    files.add_picture("sea.bmp");
    ConfigureDialogState state(files, dialog_settings_without_file());
    state.command(IDC_PICTURE_ON);
    DialogSettings d = state.take("50", "0", "", 0, 0, 8, 0);
    EXPECT_EQ(d.field_size, 100);
    EXPECT_EQ(d.speed, 1);
    EXPECT_EQ(d.iResetTime, 10.0f);
    EXPECT_EQ(d.iTexture, 0);  // "Picture On" with "--none--"
    EXPECT_EQ(d.pattern_name, "Acorn");

    state.command(IDC_PICTURE_ON);
    d = state.take("2000", "99999999999999999999", "700.5", 0, 0, -1, 1);
    EXPECT_EQ(d.field_size, 1000);
    EXPECT_EQ(d.speed, 25);
    EXPECT_EQ(d.iResetTime, 600.0f);
    EXPECT_EQ(d.iTexture, 1);
    EXPECT_EQ(d.picture_name, "sea");
    EXPECT_EQ(d.pattern_name, "Random_Points");

    // Only the first 29 characters count; what is not a number is 0.
    d = state.take(std::string(28, '0') + "500", "  7x", "abc", 0, 0, 0, 0);
    EXPECT_EQ(d.field_size, 100);
    EXPECT_EQ(d.speed, 7);
    EXPECT_EQ(d.iResetTime, 10.0f);
    EXPECT_EQ(state.take("", "", " 45.5", 0, 0, 0, 0).iResetTime, 45.5f);
}

}  // namespace
}  // namespace orvex
