#include "config/settings.h"

#include <gtest/gtest.h>

namespace orvex {
namespace {

TEST(Settings, StartValues) {
    const Settings s;
    EXPECT_EQ(s.MainColor, 1022);
    EXPECT_EQ(s.DrawStyle, 1026);
    EXPECT_EQ(s.field_size, 100);
    EXPECT_EQ(s.speed, 1);
    EXPECT_EQ(s.ResetMode, 0);
    EXPECT_EQ(s.ResetTimeValue, 10.0);
    Settings n = s;
    normalize_first_stage(n);
    normalize_second_stage(n);
    EXPECT_EQ(n.MainColor, s.MainColor);  // the start values are already in range
    EXPECT_EQ(n.pattern, 0);
}

TEST(Settings, FirstStageClampsRanges) {
    Settings s;
    s.field_size = 50;
    s.speed = 0;
    s.ResetTimeValue = 5.5;
    normalize_first_stage(s);
    EXPECT_EQ(s.field_size, 100);
    EXPECT_EQ(s.speed, 1);
    EXPECT_EQ(s.ResetTimeValue, 10.0);
    s.field_size = 5000;
    s.speed = 40;
    s.ResetTimeValue = 700;
    normalize_first_stage(s);
    EXPECT_EQ(s.field_size, 1000);
    EXPECT_EQ(s.speed, 25);
    EXPECT_EQ(s.ResetTimeValue, 600.0);
}

TEST(Settings, FirstStageReplacesOutOfRangeChoices) {
    Settings s;
    s.LightingNum = 7;
    s.MainColor = 0;
    s.DrawStyle = 0;
    s.ResetMode = 3;  // repeat, not off
    s.OneColor = 5;
    s.MatrixTr = -1;
    s.pattern = 9;
    normalize_first_stage(s);
    EXPECT_EQ(s.LightingNum, 0);
    EXPECT_EQ(s.MainColor, 1022);
    EXPECT_EQ(s.DrawStyle, 1026);
    EXPECT_EQ(s.ResetMode, 1);
    EXPECT_EQ(s.OneColor, 1);
    EXPECT_EQ(s.MatrixTr, 1);
    EXPECT_EQ(s.pattern, 10);
    s.pattern = -3;
    normalize_first_stage(s);
    EXPECT_EQ(s.pattern, 0);
    s.pattern = 6;
    normalize_first_stage(s);
    EXPECT_EQ(s.pattern, 6);
}

TEST(Settings, SecondStageKeepsRuleTablesInBounds) {
    struct {
        int family, rule, want_family, want_rule;
    } cases[] = {
        {1, 11, 1, 9}, {2, 10, 2, 9}, {0, 11, 0, 11}, {5, 11, 0, 11}, {0, 12, 0, 0}, {1, -1, 1, 0},
    };
    for (auto c : cases) {
        Settings s;
        s.Family = c.family;
        s.life_rule = c.rule;
        normalize_second_stage(s);
        EXPECT_EQ(s.Family, c.want_family) << c.family << "/" << c.rule;
        EXPECT_EQ(s.life_rule, c.want_rule) << c.family << "/" << c.rule;
    }
}

}  // namespace
}  // namespace orvex
