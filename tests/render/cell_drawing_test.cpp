// Cell drawing, seen through the pixels of an OSMesa surface (800 x 600,
// field 100 x 100: a cell is 8 pixels wide and about 6 high).
#include <gtest/gtest.h>

#include "core/rules.h"
#include "render/cell_colours.h"
#include "seed/field_setup.h"
#include "tests/support/gl_test_support.h"

namespace orvex {
namespace {

using test::cell_centre;
using test::colour_near;
using test::Drawn;
using test::lit_pixels;
using test::scene_settings;

constexpr int kW = 800, kH = 600, kN = 100;

Rgb8 at(const OsMesaSurface& s, const test::WindowPoint& p) {
    return s.pixel(static_cast<int>(p.x), static_cast<int>(p.y));
}

TEST(CellDrawing, EmptyFieldIsBlackInEveryStyle) {
    for (int style : {kStylePoints, kStyleTriangles, kStyleLines, kStyleQuads}) {
        const Settings s = scene_settings(style);
        Drawn d(s);
        Automaton field(field_setup(s));
        EXPECT_EQ(lit_pixels(d.frame(field)).count, 0) << style;
    }
}

// One live cell at (50, 20): drawn around its centre, nowhere else, in the
// colour of the scheme (lighting off, so the colour reaches the pixels as it is).
TEST(CellDrawing, OneCellLandsAtItsPlaceInEachStyle) {
    const auto centre = cell_centre(50, 20, kN, kW, kH);
    struct Case {
        int style;
        double half_w, half_h;  // extent in pixels around the centre
    };
    for (const Case c : {Case{kStylePoints, 1, 1}, Case{kStyleTriangles, 4, 3}, Case{kStyleQuads, 4, 3}}) {
        const Settings s = scene_settings(c.style, kColorGreen);
        Drawn d(s);
        Automaton field(field_setup(s));
        field.set_cell(50, 20, 1);
        const OsMesaSurface& img = d.frame(field);
        const auto box = lit_pixels(img);
        SCOPED_TRACE(c.style);
        ASSERT_GT(box.count, 0);
        EXPECT_GE(box.x0, centre.x - c.half_w - 1);
        EXPECT_LE(box.x1, centre.x + c.half_w + 1);
        EXPECT_GE(box.y0, centre.y - c.half_h - 1);
        EXPECT_LE(box.y1, centre.y + c.half_h + 1);
        const Rgb8 p = img.pixel(box.x0, box.y0);
        EXPECT_TRUE(colour_near(c.style == kStylePoints ? p : at(img, centre), 0.325, 0.9, 0.13));
    }
    // The first index runs left to right, the second bottom to top.
    const Settings s = scene_settings(kStyleQuads);
    Drawn d(s);
    Automaton field(field_setup(s));
    field.set_cell(10, 80, 1);
    const auto box = lit_pixels(d.frame(field));
    const auto where = cell_centre(10, 80, kN, kW, kH);
    EXPECT_NEAR((box.x0 + box.x1) / 2.0, where.x, 1.5);
    EXPECT_NEAR((box.y0 + box.y1) / 2.0, where.y, 1.5);
    EXPECT_LT(where.x, kW / 4);
    EXPECT_GT(where.y, kH * 3 / 4);
}

TEST(CellDrawing, GenerationsShadeByAgeAndQuadsShadeTheRamps) {
    int rule = 0;
    while (life_lenght[rule] < 5) ++rule;
    Settings s = scene_settings(kStyleQuads, kColorBlue, kFamilyGeneration);
    s.life_rule = rule;
    const float live = age_shade(life_lenght[rule], 1);
    const float dying = age_shade(life_lenght[rule], 2);
    const auto centre = cell_centre(50, 20, kN, kW, kH);
    const auto live_centre = cell_centre(70, 20, kN, kW, kH);
    {
        Drawn d(s);
        Automaton field(field_setup(s));
        field.set_cell(50, 20, 2);
        field.set_cell(70, 20, 1);
        const OsMesaSurface& img = d.frame(field);
        EXPECT_TRUE(colour_near(at(img, centre), 1.3 * dying * 0.13, 1.3 * dying * 0.325, 0.9 * dying));
        EXPECT_TRUE(colour_near(at(img, live_centre), 1.3 * live * 0.13, 1.3 * live * 0.455, 0.9 * live));
    }
    s.DrawStyle = kStyleTriangles;
    s.OneColor = 1;  // "Use only Main Color"
    {
        Drawn d(s);
        Automaton field(field_setup(s));
        field.set_cell(50, 20, 2);
        field.set_cell(70, 20, 1);
        const OsMesaSurface& img = d.frame(field);
        EXPECT_TRUE(colour_near(at(img, centre), 0.0, 0.0, 0.9 * dying));
        EXPECT_TRUE(colour_near(at(img, live_centre), 0.0, 0.0, 0.9 * live));
    }
}

// Lines join touching live cells once, from the cell that looks right or up.
TEST(CellDrawing, LinesJoinNeighboursWithinTheVisitedRange) {
    const Settings s = scene_settings(kStyleLines, kColorRed);
    auto draw = [&](std::initializer_list<std::pair<int, int>> cells) {
        Drawn d(s);
        Automaton field(field_setup(s));
        for (auto [i, j] : cells) field.set_cell(i, j, 1);
        return lit_pixels(d.frame(field)).count;
    };
    EXPECT_EQ(draw({{50, 50}}), 0);            // isolated
    EXPECT_EQ(draw({{0, 5}, {1, 5}}), 0);      // row 0 is never visited
    EXPECT_EQ(draw({{50, 99}, {51, 99}}), 0);  // nor the last column

    // (1, 5) and (0, 6): one segment from (1, 5) up and to the left, in (1, 5)'s colour.
    {
        Drawn d(s);
        Automaton field(field_setup(s));
        field.set_cell(0, 6, 1);
        field.set_cell(1, 5, 1);
        const OsMesaSurface& img = d.frame(field);
        const auto box = lit_pixels(img);
        const auto from = cell_centre(1, 5, kN, kW, kH);
        const auto to = cell_centre(0, 6, kN, kW, kH);
        ASSERT_GT(box.count, 3);
        EXPECT_GE(box.x0, to.x - 1);
        EXPECT_LE(box.x1, from.x + 1);
        EXPECT_GE(box.y0, from.y - 1);
        EXPECT_LE(box.y1, to.y + 1);
        for (int y = box.y0; y <= box.y1; ++y)
            for (int x = box.x0; x <= box.x1; ++x)
                if (!test::is_black(img.pixel(x, y))) {
                    ASSERT_TRUE(colour_near(img.pixel(x, y), 0.9, 0.0325, 0.0065));
                }
    }
    // The last row is reached from its neighbour: one horizontal segment.
    {
        Drawn d(s);
        Automaton field(field_setup(s));
        field.set_cell(98, 10, 1);
        field.set_cell(99, 10, 1);
        const auto box = lit_pixels(d.frame(field));
        EXPECT_EQ(box.y0, box.y1);
        EXPECT_NEAR(box.x0, cell_centre(98, 10, kN, kW, kH).x, 1.0);
        EXPECT_NEAR(box.x1, cell_centre(99, 10, kN, kW, kH).x, 1.0);
    }
}

}  // namespace
}  // namespace orvex
