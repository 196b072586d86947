#include "seed/seeder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "core/reset_check.h"
#include "seed/field_setup.h"
#include "tests/seed/seed_test_util.h"

namespace orvex {
namespace {

using test::CellSet;
using test::live_cells;
using test::scripted;
using test::settings_for;

struct Bench {
    explicit Bench(int size, int pattern = 0)
        : settings(with_period_check(settings_for(size, pattern))), field(field_setup(settings)) {}
    static Settings with_period_check(Settings s) {
        s.ResetMode = kResetRepeat;  // the check that keeps snapshots
        return s;
    }
    Settings settings;
    Automaton field;
    ResetCheck check{reset_setup(settings), [] { return 0; }, [] {}};
};

CellSet seed_once(int size, int pattern, std::int64_t now) {
    Bench b(size, pattern);
    Seeder seeder(pattern, [now] { return now; });
    seeder.init_field(b.field, b.check);
    return live_cells(b.field);
}

TEST(Seeder, EverySeedLeavesOnlyZerosAndOnesAndBothSnapshotsEqualToTheField) {
    for (int pattern : {0, 1, 2, 3, 4, 5, 6}) {
        for (int size : {100, 137, 1000}) {
            Bench b(size, pattern);
            Seeder seeder(pattern, [] { return 1234567; });
            seeder.init_field(b.field, b.check);
            const auto& cells = b.field.cells();
            EXPECT_TRUE(std::all_of(cells.begin(), cells.end(), [](int32_t v) { return v == 0 || v == 1; }));
            EXPECT_EQ(b.check.snapshot7(), cells) << "pattern " << pattern << " size " << size;
            EXPECT_EQ(b.check.snapshot15(), cells);
        }
    }
}

TEST(Seeder, SeedingsWithinOneSecondAreEqualAndOtherSecondsDiffer) {
    for (int pattern : {0, 1, 3}) {
        const CellSet first = seed_once(200, pattern, 1700000000);
        EXPECT_EQ(first, seed_once(200, pattern, 1700000000)) << "pattern " << pattern;
        EXPECT_NE(first, seed_once(200, pattern, 1700000001)) << "pattern " << pattern;
    }
}

TEST(Seeder, FixedAndEmptySeeds) {
    for (int size : {100, 150, 199}) EXPECT_TRUE(seed_once(size, 2, size).empty()) << "Small_Blocks on " << size;
    for (int size : {100, 101}) {
        EXPECT_EQ(seed_once(size, 5, 0), test::square(48, 52)) << size;
        EXPECT_EQ(seed_once(size, 6, 0), test::square(38, 62)) << size;
    }
    for (int pattern : {7, 8, 9, -1, kPatternFromFile}) EXPECT_TRUE(seed_once(100, pattern, 5).empty()) << pattern;
}

TEST(Seeder, CodeTenCopiesThePatternMatrixOverAnEarlierField) {
    Bench b(100, kPatternFromFile);
    b.field.clear();
    b.field.set_cell(3, 3, 1);
    std::vector<int32_t> matrix(100 * 100, 0);
    matrix[50 * 100 + 51] = 1;
    matrix[99 * 100 + 0] = 1;
    Seeder seeder(kPatternFromFile, [] { return 0; });
    seeder.set_pattern_matrix(matrix);
    seeder.init_field(b.field, b.check);
    EXPECT_EQ(live_cells(b.field), (CellSet{{50, 51}, {99, 0}}));
    EXPECT_EQ(b.check.snapshot7(), matrix);
}

TEST(Seeder, PictureStepRunsFirstOnEverySeeding) {
    Bench b(100, 5);
    std::string order;
    Seeder seeder(5, [&order] {
        order += "clock ";
        return 0;
    });
    seeder.set_picture_step([&] { order += b.field.population() == 25 ? "picture(old) " : "picture "; });
    seeder.init_field(b.field, b.check);
    seeder.init_field(b.field, b.check);
    EXPECT_EQ(order, "picture clock picture(old) clock ");
}

// Blocks: a = 1, b = 1, a block at the first position, then a = 4, b = 4 and a
// block at the next column: rows -3..4 and columns -2..5, cut at the top and left.
TEST(Seeder, BlocksAreCutAtTheTopAndLeftEdges) {
    Bench b(100, 1);
    Seeder seeder(
        1, [] { return 0; }, scripted({1, 1, 0, 4, 4, 0, 3, 3}));
    seeder.init_field(b.field, b.check);
    CellSet want;
    for (int i = 0; i <= 4; ++i)
        for (int j = 0; j <= 5; ++j) want.insert({i, j});
    EXPECT_EQ(live_cells(b.field), want);
}

// A half-side that grows in the middle of the last rows' scan pushes the block
// past the bottom edge.
TEST(Seeder, BlocksAreCutAtTheBottomEdge) {
    Bench b(100, 1);
    // a = 1, b = 1: rows 1..98 and columns 1..98 are scanned, one draw each.
    const long last_row_start = 2 + 97L * 98;  // draw number of position (98, 1)
    Seeder seeder(
        1, [] { return 0; }, std::make_unique<test::ScriptedRandom>([=](long k) {
            if (k < 2) return 1;
            if (k == last_row_start || k == last_row_start + 3) return 0;  // (98, 1), then (98, 2)
            if (k == last_row_start + 1 || k == last_row_start + 2) return 4;
            return 3;
        }));
    seeder.init_field(b.field, b.check);
    CellSet want{{97, 0}, {98, 0}};
    for (int i = 94; i <= 99; ++i)
        for (int j = 0; j <= 5; ++j) want.insert({i, j});
    EXPECT_EQ(live_cells(b.field), want);
}

// Random_Circles on 100: R = 4, m = 0, a circle at the first position (row 4,
// column 0). The outline of radius 4 is cut at the left edge.
TEST(Seeder, CirclesAreOutlinesCutAtTheEdge) {
    Bench b(100, 3);
    Seeder seeder(
        3, [] { return 0; }, scripted({4, 0, 0, 3, 3}));
    seeder.init_field(b.field, b.check);
    CellSet want;
    const int outline[][2] = {{0, 4},  {4, 0}, {-4, 0}, {1, 3}, {-1, 3}, {3, 1},
                              {-3, 1}, {2, 3}, {-2, 3}, {3, 2}, {-3, 2}};
    for (const auto& d : outline) want.insert({4 + d[0], 0 + d[1]});
    EXPECT_EQ(live_cells(b.field), want);
}

}  // namespace
}  // namespace orvex
