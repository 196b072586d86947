#include "saver/saver_start.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <utility>

#include "config/maker_folder.h"
#include "tests/support/temp_folder.h"

namespace orvex {
namespace {

namespace fs = std::filesystem;

using test::TempFolder;
using test::write_file;

// Settings lines 1..17 with the given seed index, field size, pictures on/off and names.
std::string settings_text(int pattern, int field_size, int pictures, const std::string& pattern_name, int family = 0,
                          int rule = 0) {
    return "1020\n1028\n" + std::to_string(family) + "\n" + std::to_string(rule) + "\n" + std::to_string(pattern) +
           "\n5\n" + std::to_string(field_size) + "\n0\n0\n1046\n0\n" + std::to_string(pictures) + "\n" +
           std::to_string(pictures) + "\n1050\n30.000000\n" + pattern_name + "\nsunset\n";
}

const char kTwoCells[] = "#Life 1.05\r\n#D two cells\r\n#P 0 0\r\n**\r\n";

TEST(SaverStart, MissingMakerFolderGivesTheDefaults) {
    TempFolder base;
    const fs::path maker = maker_folder_under(base.path);
    EXPECT_EQ(maker, base.path);  // looked for in the base folder itself
    const SaverStart start = resolve_saver_start(files_in_maker_folder(maker), 1024);
    EXPECT_EQ(start.settings.MainColor, kColorBlue);
    EXPECT_EQ(start.settings.DrawStyle, kStyleTriangles);
    EXPECT_EQ(start.settings.pattern, 0);
    EXPECT_EQ(start.settings.speed, 1);
    EXPECT_EQ(start.settings.field_size, 100);
    EXPECT_EQ(start.pattern_matrix.size(), 100u * 100u);
}

TEST(SaverStart, PatternFileFromTheMakerFolderSeedsTheField) {
    TempFolder base;
    const fs::path maker = base.path / kMakerFolderName;
    write_file(maker / "ss_ca_02.ini", settings_text(9, 200, 0, "pair"));
    write_file(maker / kPatternsFolderName / "pair.lif", kTwoCells);

    const SaverStart start = resolve_saver_start(files_in_maker_folder(maker_folder_under(base.path)), 1024);
    EXPECT_EQ(start.settings.pattern, kPatternFromFile);
    EXPECT_EQ(start.settings.field_size, 200);
    EXPECT_EQ(start.settings.MainColor, kColorRed);
    ASSERT_EQ(start.pattern_matrix.size(), 200u * 200u);
    int live = 0;
    for (int32_t c : start.pattern_matrix) live += c;
    EXPECT_EQ(live, 2);
    EXPECT_EQ(start.pattern_matrix[100 * 200 + 100], 1);  // (i, j) = centre
    EXPECT_EQ(start.pattern_matrix[101 * 200 + 100], 1);  // one further along the file row
}

TEST(SaverStart, MissingPatternFileFallsBackToRandomPoints) {
    TempFolder maker;
    write_file(maker.path / "ss_ca_02.ini", settings_text(12, 100, 1, "gone"));
    const SaverStart start = resolve_saver_start(files_in_maker_folder(maker.path), 1024);
    EXPECT_EQ(start.settings.pattern, 0);
    EXPECT_EQ(start.settings.TextureFlag, 1);  // pictures stay as read
    EXPECT_EQ(start.settings.picture_name, "sunset.bmp");
}

TEST(SaverStart, SecondNormalisationKeepsTheRuleInItsFamily) {
    TempFolder maker;
    write_file(maker.path / "ss_ca_02.ini", settings_text(0, 100, 0, "", 2, 11));
    const SaverStart start = resolve_saver_start(files_in_maker_folder(maker.path), 1024);
    EXPECT_EQ(start.settings.Family, kFamilyModifiedGeneration);
    EXPECT_EQ(start.settings.life_rule, 9);
}

// The preview and any window narrower than 640 pixels show no pictures; no
// window at all (the settings as read) keeps them.
TEST(SaverStart, PicturesOffBelow640Pixels) {
    TempFolder maker;
    write_file(maker.path / "ss_ca_02.ini", settings_text(0, 100, 1, ""));
    const SaverFiles files = files_in_maker_folder(maker.path);
    for (const auto& [width, on] :
         {std::pair<std::optional<int>, int>{640, 1}, {639, 0}, {152, 0}, {std::nullopt, 1}}) {
        const Settings s = resolve_saver_start(files, width).settings;
        EXPECT_EQ(s.TextureFlag, on) << width.value_or(-1);
        EXPECT_EQ(s.Texture_Renew, on) << width.value_or(-1);
    }
}

// Options given besides the file are normalised with it and choose the pattern
// file, which the first folder that holds it gives.
TEST(SaverStart, OverridesAndPatternFoldersInOrder) {
    TempFolder base;
    write_file(base.path / "ss_ca_02.ini", settings_text(0, 100, 0, "pair"));
    write_file(base.path / "samples" / "pair.lif", kTwoCells);
    SaverFiles files = files_beside(base.path / "ss_ca_02.ini");
    files.pattern_folders.push_back(base.path / "samples");
    const SaverStart start = resolve_saver_start(files, std::nullopt, [](Settings& s) {
        s.pattern = kPatternFromFile;
        s.speed = 99;
    });
    EXPECT_EQ(start.settings.pattern, kPatternFromFile);
    EXPECT_EQ(start.settings.speed, 25);
    int live = 0;
    for (int32_t c : start.pattern_matrix) live += c;
    EXPECT_EQ(live, 2);
    EXPECT_EQ(start.pictures_folder, base.path / "Pictures");
}

// A settings "file" that is a folder: the start values, and the reason for the tools.
TEST(SaverStart, UnreadableSettingsFileIsReported) {
    TempFolder base;
    fs::create_directories(base.path / "ss_ca_02.ini");
    const SaverStart start = resolve_saver_start(files_in_maker_folder(base.path), 1024);
    EXPECT_NE(start.settings_error.find("folder"), std::string::npos);
    EXPECT_EQ(start.settings.speed, 1);
    EXPECT_TRUE(resolve_saver_start(files_beside(base.path / "none.ini"), 1024).settings_error.empty());
}

}  // namespace
}  // namespace orvex
