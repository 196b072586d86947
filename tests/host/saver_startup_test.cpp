#include "host/saver_startup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "config/maker_folder.h"

namespace orvex {
namespace {

namespace fs = std::filesystem;

// A fresh folder per case, removed afterwards.
class TempFolder {
public:
    TempFolder() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = fs::temp_directory_path() / (std::string("orvex_host_") + info->name());
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

void write_file(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

// Settings lines 1..17 with the given seed index, field size, pictures on/off and names.
std::string settings_text(int pattern, int field_size, int pictures, const std::string& pattern_name,
                          int family = 0, int rule = 0) {
    return "1020\n1028\n" + std::to_string(family) + "\n" + std::to_string(rule) + "\n" + std::to_string(pattern) +
           "\n5\n" + std::to_string(field_size) + "\n0\n0\n1046\n0\n" + std::to_string(pictures) + "\n" +
           std::to_string(pictures) + "\n1050\n30.000000\n" + pattern_name + "\nsunset\n";
}

const char kTwoCells[] = "#Life 1.05\r\n#D two cells\r\n#P 0 0\r\n**\r\n";

TEST(SaverStartup, BaseFolderFallsBackInOrder) {
    const fs::path pf = "C:/Program Files", sys = "C:/windows/system32", win = "C:/windows";
    EXPECT_EQ(choose_base_folder(pf, sys, win), pf);
    EXPECT_EQ(choose_base_folder(std::nullopt, sys, win), sys);
    EXPECT_EQ(choose_base_folder(fs::path(), sys, win), sys);
    EXPECT_EQ(choose_base_folder(std::nullopt, std::nullopt, win), win);
}

TEST(SaverStartup, MissingMakerFolderGivesTheDefaults) {
    TempFolder base;
    const fs::path maker = maker_folder_under(base.path());
    EXPECT_EQ(maker, base.path());  // looked for in the base folder itself
    const SaverStart start = prepare_saver(maker);
    EXPECT_EQ(start.settings.MainColor, kColorBlue);
    EXPECT_EQ(start.settings.DrawStyle, kStyleTriangles);
    EXPECT_EQ(start.settings.pattern, 0);
    EXPECT_EQ(start.settings.speed, 1);
    EXPECT_EQ(start.settings.field_size, 100);
    EXPECT_EQ(start.pattern_matrix.size(), 100u * 100u);
}

TEST(SaverStartup, PatternFileFromTheMakerFolderSeedsTheField) {
    TempFolder base;
    const fs::path maker = base.path() / kMakerFolderName;
    write_file(maker / "ss_ca_02.ini", settings_text(9, 200, 0, "pair"));
    write_file(maker / kPatternsFolderName / "pair.lif", kTwoCells);

    const SaverStart start = prepare_saver(maker_folder_under(base.path()));
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

TEST(SaverStartup, MissingPatternFileFallsBackToRandomPoints) {
    TempFolder maker;
    write_file(maker.path() / "ss_ca_02.ini", settings_text(12, 100, 1, "gone"));
    const SaverStart start = prepare_saver(maker.path());
    EXPECT_EQ(start.settings.pattern, 0);
    EXPECT_EQ(start.settings.TextureFlag, 1);  // pictures stay as read
    EXPECT_EQ(start.settings.picture_name, "sunset.bmp");
}

TEST(SaverStartup, SecondNormalisationKeepsTheRuleInItsFamily) {
    TempFolder maker;
    write_file(maker.path() / "ss_ca_02.ini", settings_text(0, 100, 0, "", 2, 11));
    const SaverStart start = prepare_saver(maker.path());
    EXPECT_EQ(start.settings.Family, kFamilyModifiedGeneration);
    EXPECT_EQ(start.settings.life_rule, 9);
}

TEST(SaverStartup, PicturesOffBelow640Pixels) {
    Settings s;
    s.TextureFlag = 1;
    s.Texture_Renew = 1;
    fit_to_window(s, 640);
    EXPECT_EQ(s.TextureFlag, 1);
    EXPECT_EQ(s.Texture_Renew, 1);
    fit_to_window(s, 639);
    EXPECT_EQ(s.TextureFlag, 0);
    EXPECT_EQ(s.Texture_Renew, 0);
    Settings preview;
    preview.TextureFlag = 1;
    fit_to_window(preview, 152);
    EXPECT_EQ(preview.TextureFlag, 0);
}

TEST(SaverStartup, ChildCoversTheClientAreaOnePixelHigh) {
    const ChildPlacement preview = child_placement(152, 112);
    EXPECT_EQ(preview.x, 0);
    EXPECT_EQ(preview.y, -1);
    EXPECT_EQ(preview.width, 152);
    EXPECT_EQ(preview.height, 112);
    const ChildPlacement odd = child_placement(1365, 767);
    EXPECT_EQ(odd.x, 0);
    EXPECT_EQ(odd.y, -1);
    EXPECT_EQ(odd.width, 1365);
}

}  // namespace
}  // namespace orvex
