// The pattern files shipped in data/Patterns2d: each loads, is listed for the
// rule it was made for, and behaves as its description says.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "core/automaton.h"
#include "core/rules.h"
#include "seed/field_setup.h"
#include "seed/pattern_file.h"
#include "seed/pattern_formats.h"
#include "tests/seed/seed_test_util.h"

namespace orvex {
namespace {

std::filesystem::path patterns_folder() { return std::filesystem::path(ORVEX_SOURCE_DIR) / "data" / "Patterns2d"; }

std::string text_of(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Rule (Life family index) of every shipped file.
const std::map<std::string, int> kFileRules = {
    {"Acorn", 4},    {"Diehard", 4},        {"Glider", 4},       {"GliderFleet", 4}, {"GosperGliderGun", 4},
    {"LWSS", 4},     {"Pentadecathlon", 4}, {"Pulsar", 4},       {"R-pentomino", 4}, {"HighLifeReplicator", 6},
    {"MazeSeed", 7}, {"34LifeSeed", 1},     {"TwoByTwoSeed", 0},
};

// The RLE and plaintext samples: the rule their dialog filter sees (-1 none)
// and, where there is one, the .lif sample they equal cell for cell.
TEST(SamplePatterns, OtherFormatsLoadAndEqualTheirLifeTwins) {
    const std::map<std::string, std::pair<int, std::string>> samples = {
        {"Acorn.rle", {4, "Acorn"}},      {"GosperGliderGun.rle", {4, "GosperGliderGun"}},
        {"Glider.cells", {-1, "Glider"}}, {"HighLifeReplicator.rle", {6, "HighLifeReplicator"}},
        {"LWSS.cells", {-1, "LWSS"}},     {"Brain6Sparks.rle", {-1, ""}},
    };
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(patterns_folder())) {
        if (format_for_name(entry.path().string()) == PatternFormat::Life105) continue;
        ++files;
        const std::string name = entry.path().filename().string();
        ASSERT_EQ(samples.count(name), 1u) << name;
        EXPECT_LE(name.size(), 30u);
        auto load = [](const std::string& pattern_name, int family, int rule) {
            Settings s = test::settings_for(100, kPatternFromFile, family, rule);
            s.pattern_name = pattern_name;
            std::vector<int32_t> matrix;
            Load_Pattern(s, patterns_folder(), matrix);
            EXPECT_EQ(s.pattern, kPatternFromFile) << pattern_name;
            return matrix;
        };
        const std::vector<int32_t> cells = load(name, kFamilyGeneration, 3);
        EXPECT_GT(std::count(cells.begin(), cells.end(), 1), 0) << name;
        const auto& [rule, twin] = samples.at(name);
        if (!twin.empty()) {
            EXPECT_EQ(cells, load(twin, kFamilyLife, 4)) << name;
        }
        const std::string text = text_of(entry.path());
        for (int r = 0; r < kLifeRuleCount; ++r)
            EXPECT_EQ(pattern_allowed_by_rule(format_for_name(name), text, r), r == rule) << name << " rule " << r;
    }
    EXPECT_EQ(files, static_cast<int>(samples.size()));
}

TEST(SamplePatterns, EveryFileLoadsAndIsListedForItsRuleOnly) {
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(patterns_folder())) {
        if (entry.path().extension() != ".lif") continue;
        ++files;
        const std::string name = entry.path().stem().string();
        ASSERT_EQ(kFileRules.count(name), 1u) << "no rule known for " << name;
        EXPECT_LE(name.size(), 30u);
        Settings s = test::settings_for(100, kPatternFromFile);
        s.pattern_name = name;
        std::vector<int32_t> matrix;
        Load_Pattern(s, patterns_folder(), matrix);
        EXPECT_EQ(s.pattern, kPatternFromFile) << name;
        EXPECT_GT(std::count(matrix.begin(), matrix.end(), 1), 0) << name;
        const std::string text = text_of(entry.path());
        for (int rule = 0; rule < kLifeRuleCount; ++rule)
            EXPECT_EQ(Pattern_Allowed_By_Rule(text, rule), rule == kFileRules.at(name)) << name << " rule " << rule;
    }
    EXPECT_EQ(files, static_cast<int>(kFileRules.size()));
}

// The file's field after some generations of its rule.
Automaton run(const std::string& name, int generations, int size = 100) {
    Settings s = test::settings_for(size, kPatternFromFile, kFamilyLife, kFileRules.at(name));
    s.pattern_name = name;
    std::vector<int32_t> matrix;
    Load_Pattern(s, patterns_folder(), matrix);
    Automaton field(field_setup(s));
    field.load(matrix);
    for (int g = 0; g < generations; ++g) field.step();
    return field;
}

test::CellSet shifted(const test::CellSet& cells, int di, int dj) {
    test::CellSet out;
    for (const auto& [i, j] : cells) out.insert({i + di, j + dj});
    return out;
}

TEST(SamplePatterns, OscillatorsAndSpaceshipsKeepTheirPeriods) {
    const auto glider = test::live_cells(run("Glider", 0));
    EXPECT_EQ(test::live_cells(run("Glider", 4)), shifted(glider, 1, -1));
    const auto lwss = test::live_cells(run("LWSS", 0));
    EXPECT_EQ(test::live_cells(run("LWSS", 4)), shifted(lwss, -2, 0));
    EXPECT_EQ(test::live_cells(run("Pulsar", 3)), test::live_cells(run("Pulsar", 0)));
    EXPECT_NE(test::live_cells(run("Pulsar", 1)), test::live_cells(run("Pulsar", 0)));
    EXPECT_EQ(test::live_cells(run("Pentadecathlon", 15)), test::live_cells(run("Pentadecathlon", 0)));
    EXPECT_NE(test::live_cells(run("Pentadecathlon", 5)), test::live_cells(run("Pentadecathlon", 0)));
    EXPECT_EQ(run("GliderFleet", 100).population(), 20);
}

TEST(SamplePatterns, GrowingAndVanishingPatterns) {
    EXPECT_EQ(run("Diehard", 129, 200).population() > 0, true);
    EXPECT_EQ(run("Diehard", 130, 200).population(), 0);
    EXPECT_GT(run("GosperGliderGun", 120, 200).population(), run("GosperGliderGun", 0, 200).population() + 15);
    EXPECT_GT(run("Acorn", 200, 300).population(), 100);
    EXPECT_GT(run("R-pentomino", 200, 300).population(), 100);
    // Two replicators after 12 High Life generations: twice the cells.
    EXPECT_EQ(run("HighLifeReplicator", 12).population(), 2 * run("HighLifeReplicator", 0).population());
    for (const char* seed : {"MazeSeed", "34LifeSeed", "TwoByTwoSeed"})
        EXPECT_GT(run(seed, 200, 200).population(), 500) << seed;
}

}  // namespace
}  // namespace orvex
