#include "dialog/dialog_lists.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "config/file_names.h"
#include "tests/dialog/fake_maker_files.h"
#include "tests/support/temp_folder.h"

namespace orvex {
namespace {

std::vector<std::string> files_part(const ComboList& list) {
    return {list.entries.begin() + kBuiltInPatternCount, list.entries.end()};
}

ComboList pattern_list(const FakeMakerFiles& files, int only_for_rule, int restore, DialogSettings& d) {
    ComboList list;
    Fill_Pattern_Combo_Start(list);
    int picture = 0;
    Fill_Combo(list, files, only_for_rule, restore, ListMask::Patterns, d, picture);
    return list;
}

TEST(PatternList, FilterListingOrderAndRestoreByName) {
    FakeMakerFiles files;
    files.add_pattern("Zeta.lif", kLifeFor2x2);
    files.add_pattern("NoD.lif", "#Life 1.05\n#N\n#D 2x2\n#P 0 0\n*\n");  // third word not "#D"
    files.add_pattern("Big_Circles.lif", kLifeFor2x2);
    files.add_pattern("Gone.lif", std::nullopt);  // listed, but can't be opened
    files.add_pattern("Other.LIF", "#Life 1.05\n#D conwayslife\n#P 0 0\n*\n");
    files.add_pattern("notes.txt", kLifeFor2x2);

    DialogSettings d;
    d.life_rule = 0;
    d.pattern_name = "Big_Circles";
    ComboList all = pattern_list(files, 0, 1, d);
    EXPECT_EQ(all.entries[0], "Random_Points");
    EXPECT_EQ(all.entries[6], "Block 25*25");
    EXPECT_EQ(files_part(all), (std::vector<std::string>{"Zeta", "NoD", "Big_Circles", "Other"}));
    EXPECT_EQ(d.pattern, 9);  // the file, not the built-in of the same name
    EXPECT_EQ(all.selected, 9);

    ComboList filtered = pattern_list(files, 1, 1, d);
    EXPECT_EQ(files_part(filtered), (std::vector<std::string>{"Zeta", "Big_Circles"}));
    EXPECT_EQ(filtered.selected, 8);

    d.pattern = 0;
    d.pattern_name = "Vanished";
    EXPECT_EQ(pattern_list(files, 0, 1, d).selected, 0);
    d.pattern = 3;
    d.pattern_name = "Zeta";
    EXPECT_EQ(pattern_list(files, 0, 0, d).selected, 0);  // no restoring: first entry
    EXPECT_EQ(d.pattern, 3);
}

TEST(PatternList, OtherFormatsFollowWithTheirExtensionAndTheHeadersRule) {
    FakeMakerFiles files;
    files.add_pattern("Conway.rle", "#N x\nx = 1, y = 1, rule = B3/S23\no!");
    files.add_pattern("Glider.cells", "O\n");
    files.add_pattern("Glider.lif", kLifeFor2x2);
    files.add_pattern("High.RLE", "x = 1, y = 1, rule = 23/36\no!");
    files.add_pattern("Brain.rle", "x = 1, y = 1, rule = 6/246/3\nA!");  // a Generations rule
    files.add_pattern("Odd.rle", "x = 1, y = 1, rule = B1/S1\no!");      // none of the catalogue
    files.add_pattern("NoRule.rle", "x = 1, y = 1\no!");
    files.add_pattern("ABCDEFGHIJKLMNOPQRSTUVWXYZ.rle", "x = 1, y = 1, rule = B3/S23\no!");  // 30 characters
    files.add_pattern("ABCDEFGHIJKLMNOPQRSTUVWXYZ1.rle", "x = 1, y = 1, rule = B3/S23\no!");
    DialogSettings d;
    d.pattern_name = "Glider.cells";
    const ComboList all = pattern_list(files, 0, 1, d);
    EXPECT_EQ(files_part(all),
              (std::vector<std::string>{"Glider", "Conway.rle", "Glider.cells", "High.RLE", "Brain.rle", "Odd.rle",
                                        "NoRule.rle", "ABCDEFGHIJKLMNOPQRSTUVWXYZ.rle"}));
    EXPECT_EQ(all.selected, 9);
    for (int rule = 0; rule < 12; ++rule) {
        d.life_rule = rule;
        std::vector<std::string> want{};
        if (rule == 0) want = {"Glider"};
        if (rule == 4) want = {"Conway.rle", "ABCDEFGHIJKLMNOPQRSTUVWXYZ.rle"};
        if (rule == 6) want = {"High.RLE"};
        EXPECT_EQ(files_part(pattern_list(files, 1, 1, d)), want) << rule;
    }
}

TEST(PictureList, EmptyFolderLongAndNonAsciiNames) {
    FakeMakerFiles files;
    DialogSettings d;
    d.picture_name = "sunset";
    ComboList list{{kNoPicture}, 0, {}};
    int picture = 0;
    Fill_Combo(list, files, 0, 1, ListMask::Pictures, d, picture);
    EXPECT_EQ(list.entries, std::vector<std::string>{kNoPicture});
    EXPECT_EQ(list.selected, 0);

    const std::string long_name(100, 'p');
    files.add_picture("sea.BMP");
    files.add_picture(long_name + ".bmp");
    files.add_picture("\xC3\x96lbild.bmp");  // "Ölbild" as held natively
    files.add_picture("readme.txt");
    d.picture_name = "\xC3\x96lbild";
    Fill_Combo(list, files, 0, 1, ListMask::Pictures, d, picture);
    EXPECT_EQ(list.entries, (std::vector<std::string>{kNoPicture, "sea", long_name.substr(0, 79), "\xC3\x96lbild"}));
    EXPECT_EQ(picture, 3);
    EXPECT_EQ(list.selected, 3);

    // JPEGs and PNGs after the BMPs, shown and restored with their extension.
    FakeMakerFiles mixed;
    for (const char* name : {"photo.JPG", "sea.bmp", "map.png", "sky.BMP"}) mixed.add_picture(name);
    d.picture_name = "map.png";
    list = {{kNoPicture}, 0, {}};
    Fill_Combo(list, mixed, 0, 1, ListMask::Pictures, d, picture);
    EXPECT_EQ(list.entries, (std::vector<std::string>{kNoPicture, "sea", "sky", "photo.JPG", "map.png"}));
    EXPECT_EQ(list.selected, 4);
}

// The real folder: a non-ASCII name is listed as held and opened again from it.
TEST(FileNames, NonAsciiNameListedAndOpened) {
    namespace fs = std::filesystem;
    const test::TempFolder maker;
    const fs::path folder = maker / "Patterns2d";
    fs::create_directories(folder);
    const std::string name = "Caf\xC3\xA9.lif";
    std::ofstream(path_for_name(folder, name), std::ios::binary) << kLifeFor2x2;

    EXPECT_EQ(list_file_names(folder), std::vector<std::string>{name});
    FolderMakerFiles files(folder.parent_path());
    EXPECT_EQ(files.read("Patterns2d", name), std::optional<std::string>(kLifeFor2x2));
    EXPECT_TRUE(files.list("Pictures").empty());
}

}  // namespace
}  // namespace orvex
