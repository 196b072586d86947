#include "seed/pattern_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "core/rules.h"
#include "tests/support/temp_folder.h"

namespace orvex {
namespace {

constexpr char kGlider[] = "#Life 1.05\n#D conwayslife\n#P -1 -1\n.*.\n..*\n***\n";

int at(const PatternRead& r, int n, int i, int j) { return r.cells[static_cast<size_t>(i) * n + j]; }

int live(const PatternRead& r) {
    int count = 0;
    for (int32_t v : r.cells) count += v != 0;
    return count;
}

TEST(PatternReader, GliderIsCentredWithTheFileOrientation) {
    const PatternRead r = read_life105(kGlider, 100);
    ASSERT_TRUE(r.ok()) << r.error;
    ASSERT_EQ(r.cells.size(), 100u * 100u);
    EXPECT_EQ(live(r), 5);
    for (auto [i, j] : {std::pair{50, 51}, {51, 50}, {49, 49}, {50, 49}, {51, 49}}) EXPECT_EQ(at(r, 100, i, j), 1);
}

TEST(PatternReader, HeaderWordsMayBeSplitAnyWayButMustMatchExactly) {
    EXPECT_TRUE(read_life105("#Life\r\n1.05 #D\r\n#P 0 0\r\n*\r\n", 100).ok());
    EXPECT_TRUE(read_life105("  #Life\t1.05\f#D", 100).ok());
    for (const char* bad : {"", "   \n", "#Life 1.06\n#D x\n#P 0 0\n*\n", "#life 1.05\n#D\n",
                            "#Life 1.05\n#N\n#P 0 0\n*", "#Life 1.05", "#Life 1.05 #Dx", "x = 3, y = 3\nbo$2bo$3o!"}) {
        const PatternRead r = read_life105(bad, 100);
        EXPECT_FALSE(r.ok()) << bad;
        EXPECT_TRUE(r.cells.empty());
    }
}

TEST(PatternReader, ATextThatEndsBeforeAnyBlockGivesAnEmptyMatrix) {
    for (const char* text : {"#Life 1.05 #D", "#Life 1.05\n#D a glider\n#N\n", "#Life 1.05\n#D\n#R 23/3\n"}) {
        const PatternRead r = read_life105(text, 120);
        ASSERT_TRUE(r.ok()) << text;
        EXPECT_EQ(r.cells.size(), 120u * 120u);
        EXPECT_EQ(live(r), 0);
    }
    // The word right after "#D" belongs to the description, yet a "#P" there still opens the first block.
    EXPECT_EQ(live(read_life105("#Life 1.05 #D #P 0 0 *", 100)), 1);
}

TEST(PatternReader, OffsetsAreBoundedToTheField) {
    EXPECT_EQ(live(read_life105("#Life 1.05 #D\n#P 900 900\n****\n", 100)), 0);
    // x = -60 becomes -50: 120 characters fill the first index 0..99.
    const PatternRead r = read_life105("#Life 1.05 #D\n#P -60 0\n" + std::string(120, '*') + "\n", 100);
    EXPECT_EQ(live(r), 100);
    for (int i = 0; i < 100; ++i) EXPECT_EQ(at(r, 100, i, 50), 1);
    // Offsets far outside the int range saturate and are bounded like any other.
    EXPECT_EQ(live(read_life105("#Life 1.05 #D #P 99999999999999999999999999 -4294967297 *", 100)), 0);
    const PatternRead low = read_life105("#Life 1.05 #D #P -99999999999999999999999 4294967296 **", 100);
    EXPECT_EQ(live(low), 2);
    EXPECT_EQ(at(low, 100, 0, 0), 1);
    EXPECT_EQ(at(low, 100, 1, 0), 1);
}

TEST(PatternReader, CellsBeyondTheFieldAreDroppedOnOddFieldsToo) {
    // On 101 the halving truncates: index 100 is never filled.
    // y = -50 puts the first row at index 100: dropped. Of "**" only x = 49 fits.
    const PatternRead r = read_life105("#Life 1.05 #D #P 49 -50 **** **", 101);
    EXPECT_EQ(live(r), 1);
    EXPECT_EQ(at(r, 101, 99, 99), 1);
    // Rows below the bottom are dropped.
    const PatternRead bottom = read_life105("#Life 1.05 #D #P 0 48 * * * * *", 100);
    EXPECT_EQ(live(bottom), 3);
    EXPECT_EQ(at(bottom, 100, 50, 0), 1);
    // A row of 100,000 characters is read whole and cut.
    const std::string wide = "#Life 1.05 #D #P 0 0 " + std::string(100000, 'o') + " *";
    const PatternRead w = read_life105(wide, 100);
    EXPECT_EQ(live(w), 51);
}

TEST(PatternReader, BlankLinesAreNoRowsButDotRowsAre) {
    const PatternRead blank = read_life105("#Life 1.05 #D\n#P 0 0\n*\n\n\n*\n", 100);
    EXPECT_EQ(at(blank, 100, 50, 50), 1);
    EXPECT_EQ(at(blank, 100, 50, 49), 1);
    const PatternRead dot = read_life105("#Life 1.05 #D\n#P 0 0\n*\n.\n*\n", 100);
    EXPECT_EQ(at(dot, 100, 50, 50), 1);
    EXPECT_EQ(at(dot, 100, 50, 49), 0);
    EXPECT_EQ(at(dot, 100, 50, 48), 1);
    // Blanks split a row, and words starting with '#' are rows too.
    const PatternRead split = read_life105("#Life 1.05 #D #P 0 0 *. *\n#N\n", 100);
    EXPECT_EQ(live(split), 4);
    EXPECT_EQ(at(split, 100, 51, 48), 1);  // 'N' of "#N"
}

TEST(PatternReader, LaterBlocksOverwriteEarlierOnes) {
    const PatternRead r = read_life105("#Life 1.05 #D #P 0 0 *** *** #P 1 0 .", 100);
    EXPECT_EQ(live(r), 5);
    EXPECT_EQ(at(r, 100, 51, 50), 0);
    EXPECT_EQ(at(r, 100, 51, 49), 1);
}

TEST(PatternReader, UnreadableOffsetsKeepThePreviousBlocksAndStayAsRows) {
    // The second "#P" has no numbers: offsets 3, -2 again, and "abc" is a row.
    const PatternRead r = read_life105("#Life 1.05 #D #P 3 -2 * #P abc", 100);
    EXPECT_EQ(live(r), 3);
    EXPECT_EQ(at(r, 100, 55, 52), 1);
    // A number may end inside a word; y is then unread (0 before the first block).
    const PatternRead glued = read_life105("#Life 1.05 #D #P 2x *", 100);
    EXPECT_EQ(at(glued, 100, 52, 50), 1);  // x = 2, y unread (0): row "x"
    EXPECT_EQ(at(glued, 100, 52, 49), 1);
}

TEST(PatternRule, KeyMustBeTheWholeTextAfterTheFirstWord) {
    EXPECT_TRUE(Pattern_Allowed_By_Rule(kGlider, 4));
    for (int rule = 0; rule < kLifeRuleCount; ++rule)
        if (rule != 4) {
            EXPECT_FALSE(Pattern_Allowed_By_Rule(kGlider, rule)) << rule;
        }
    EXPECT_TRUE(Pattern_Allowed_By_Rule("#Life 1.05\r\n#D 2x2\r\n#P 0 0\r\n*\r\n", 0));
    EXPECT_FALSE(Pattern_Allowed_By_Rule("#Life 1.05\n#D 2X2\n", 0));
    EXPECT_FALSE(Pattern_Allowed_By_Rule("#Life 1.05\n#D  2x2\n", 0));
    EXPECT_FALSE(Pattern_Allowed_By_Rule("#Life 1.05\n#D 2x2 \n", 0));
    EXPECT_TRUE(Pattern_Allowed_By_Rule("#Life 1.05\n#D 2x2", 0));  // no line end at the end of the file
    // Any line before the first "#P" whose text after its first word is the key.
    EXPECT_TRUE(Pattern_Allowed_By_Rule("#Life 1.05\n#D A High Life pattern\n#N highlife\n#P 0 0\n*\n", 6));
    EXPECT_FALSE(Pattern_Allowed_By_Rule("#Life 1.05\n#D x\n#P 0 0\n*\n#D highlife\n", 6));
    EXPECT_FALSE(Pattern_Allowed_By_Rule("#Life 1.06\n#D highlife\n", 6));
    EXPECT_FALSE(Pattern_Allowed_By_Rule("", 6));
    EXPECT_FALSE(Pattern_Allowed_By_Rule(kGlider, -1));
    EXPECT_FALSE(Pattern_Allowed_By_Rule(kGlider, kLifeRuleCount));
}

class LoadPatternTest : public ::testing::Test {
protected:
    void write(const std::string& name, const std::string& text) { test::write_file(folder / name, text); }
    Settings load(const std::string& name, int size = 100) {
        Settings s;
        s.pattern = kPatternFromFile;
        s.pattern_name = name;
        s.field_size = size;
        Load_Pattern(s, folder, matrix);
        return s;
    }

    test::TempFolder scratch;
    const std::filesystem::path folder = scratch.path;
    std::vector<int32_t> matrix{1, 2, 3};
};

TEST_F(LoadPatternTest, AGoodFileKeepsCodeTenAndFillsTheMatrix) {
    write("glider.lif", kGlider);
    EXPECT_EQ(load("glider", 200).pattern, kPatternFromFile);
    ASSERT_EQ(matrix.size(), 200u * 200u);
    EXPECT_EQ(matrix[100 * 200 + 101], 1);
    write("empty header.lif", "#Life 1.05\n#D\n");
    EXPECT_EQ(load("empty header").pattern, kPatternFromFile);
    EXPECT_EQ(std::count(matrix.begin(), matrix.end(), 0), 100 * 100);
}

TEST_F(LoadPatternTest, OtherFormatsAreNamedWithTheirExtensionAndKeepTheRulesStates) {
    write("sparks.RLE", "x = 2, y = 1, rule = 6/246/3\nAB!");
    write("sparks.cells", "OO\n");
    EXPECT_EQ(load("sparks").pattern, 0);  // "sparks.lif"
    EXPECT_EQ(load("sparks.cells").pattern, kPatternFromFile);
    EXPECT_EQ(matrix[49 * 100 + 50] + matrix[50 * 100 + 50], 2);
    EXPECT_EQ(load("sparks.RLE").pattern, kPatternFromFile);
    EXPECT_EQ(matrix[49 * 100 + 50] + matrix[50 * 100 + 50], 1);  // Life: the dying cell is dropped
    Settings s = load("sparks.RLE");
    s.Family = kFamilyGeneration;
    s.life_rule = 3;
    Load_Pattern(s, folder, matrix);
    EXPECT_EQ(matrix[50 * 100 + 50], 2);
}

TEST_F(LoadPatternTest, UnusableFilesFallBackToRandomPointsWithAnEmptyMatrix) {
    write("v106.lif", "#Life 1.06\n0 0\n");
    write("empty.lif", "");
    std::filesystem::create_directories(folder / "folder.lif");
    std::filesystem::create_directories(folder / "sub");
    write("sub/inner.lif", kGlider);
    for (const char* name : {"v106", "empty", "folder", "missing", "", "sub/inner", "sub\\inner", "../"}) {
        matrix.assign(3, 7);
        EXPECT_EQ(load(name).pattern, 0) << name;
        EXPECT_EQ(matrix.size(), 100u * 100u);
        EXPECT_EQ(std::count(matrix.begin(), matrix.end(), 0), 100 * 100);
    }
}

}  // namespace
}  // namespace orvex
