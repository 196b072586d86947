#include "render/cell_colours.h"

#include <gtest/gtest.h>

#include "config/settings.h"

namespace orvex {
namespace {

void expect_rgb(const CellRgb& c, float r, float g, float b) {
    EXPECT_NEAR(c.r, r, 1e-6);
    EXPECT_NEAR(c.g, g, 1e-6);
    EXPECT_NEAR(c.b, b, 1e-6);
}

TEST(CellColours, LifeRampsFollowTheMainColour) {
    CellColours green(100, kColorGreen, 1);
    green.set_row(50);
    expect_rgb(green.life(20), 0.325f, 0.9f, 0.13f);

    CellColours red(100, kColorRed, 1);
    red.set_row(50);
    expect_rgb(red.life(20), 0.9f, 0.13f, 0.325f);

    CellColours blue(100, kColorBlue, 1);
    blue.set_row(50);
    expect_rgb(blue.life(20), 0.13f, 0.325f, 0.9f);
    blue.set_row(0);
    expect_rgb(blue.life(0), 0.0f, 0.0f, 0.9f);
}

TEST(CellColours, GenerationsShadeTheMainChannelAndQuadsTheRampsToo) {
    CellColours blue(100, kColorBlue, 1);
    blue.set_row(50);
    const float g = age_shade(5, 2);
    EXPECT_FLOAT_EQ(g, 0.6f);
    expect_rgb(blue.generations(20, g, true), 0.1014f, 0.2535f, 0.54f);
    expect_rgb(blue.generations(20, g, false), 0.13f, 0.325f, 0.54f);
}

TEST(CellColours, AgeShadesRunFromLiveToLastDyingState) {
    EXPECT_FLOAT_EQ(age_shade(3, 1), 2.0f / 3.0f);
    EXPECT_FLOAT_EQ(age_shade(3, 2), 1.0f / 3.0f);
    EXPECT_FLOAT_EQ(age_shade(48, 1), 47.0f / 48.0f);
    EXPECT_FLOAT_EQ(age_shade(48, 47), 1.0f / 48.0f);
}

TEST(CellColours, OnlyMainColourSwitchesTheRampsOff) {
    CellColours red(1000, kColorRed, 0);
    red.set_row(999);
    expect_rgb(red.life(999), 0.9f, 0.0f, 0.0f);
    const float live = age_shade(8, 1);
    expect_rgb(red.generations(999, live, true), 0.9f * live, 0.0f, 0.0f);
    expect_rgb(red.generations(999, age_shade(8, 7), false), 0.9f / 8.0f, 0.0f, 0.0f);
}

}  // namespace
}  // namespace orvex
