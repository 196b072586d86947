#include "config/settings_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "config/maker_folder.h"
#include "tests/support/temp_folder.h"

namespace orvex {
namespace {

namespace fs = std::filesystem;

std::string join(std::initializer_list<std::string_view> lines, std::string_view end) {
    std::string text;
    for (std::string_view l : lines) {
        text += l;
        text += end;
    }
    return text;
}
std::string crlf(std::initializer_list<std::string_view> lines) { return join(lines, "\r\n"); }
std::string lf(std::initializer_list<std::string_view> lines) { return join(lines, "\n"); }

// A file as the dialog writes it: red-green scheme, lines, Generation rule 3,
// built-in seed 2, two lights, time reset after 45.5 s.
const std::string kTypical = crlf({"1021", "1027", "1", "3", "2", "5", "300", "1", "1", "1047", "1", "1", "0", "1051",
                                   "45.500000", "Glider gun", "sunset"});

void expect_same(const Settings& a, const Settings& b) {
    EXPECT_EQ(a.MainColor, b.MainColor);
    EXPECT_EQ(a.DrawStyle, b.DrawStyle);
    EXPECT_EQ(a.Family, b.Family);
    EXPECT_EQ(a.life_rule, b.life_rule);
    EXPECT_EQ(a.pattern, b.pattern);
    EXPECT_EQ(a.speed, b.speed);
    EXPECT_EQ(a.field_size, b.field_size);
    EXPECT_EQ(a.OneColor, b.OneColor);
    EXPECT_EQ(a.LightingNum, b.LightingNum);
    EXPECT_EQ(a.MatrixTr, b.MatrixTr);
    EXPECT_EQ(a.TextureFlag, b.TextureFlag);
    EXPECT_EQ(a.Texture_Renew, b.Texture_Renew);
    EXPECT_EQ(a.ResetMode, b.ResetMode);
    EXPECT_EQ(a.ResetTimeValue, b.ResetTimeValue);
    EXPECT_EQ(a.pattern_name, b.pattern_name);
    EXPECT_EQ(a.picture_name, b.picture_name);
}

TEST(SettingsFileStartup, ConvertsTheStoredValues) {
    const Settings s = parse_startup_settings(kTypical);
    EXPECT_EQ(s.MainColor, 1021);
    EXPECT_EQ(s.DrawStyle, 1027);
    EXPECT_EQ(s.Family, 1);
    EXPECT_EQ(s.life_rule, 3);
    EXPECT_EQ(s.pattern, 2);
    EXPECT_EQ(s.speed, 5);
    EXPECT_EQ(s.field_size, 300);
    EXPECT_EQ(s.OneColor, 1);
    EXPECT_EQ(s.LightingNum, 2);  // 1047
    EXPECT_EQ(s.MatrixTr, 1);
    EXPECT_EQ(s.TextureFlag, 1);
    EXPECT_EQ(s.Texture_Renew, 0);
    EXPECT_EQ(s.ResetMode, 2);  // 1051
    EXPECT_EQ(s.ResetTimeValue, 45.5);
    EXPECT_EQ(s.pattern_name, "Glider gun");
    EXPECT_EQ(s.picture_name, "sunset.bmp");
}

TEST(SettingsFileStartup, IdentifiersAndSeedCodes) {
    Settings s = parse_startup_settings(lf(
        {"1022", "1026", "0", "0", "9", "1", "100", "0", "0", "2", "0", "0", "0", "0", "12.0", "Acorn", "--none--"}));
    EXPECT_EQ(s.LightingNum, 0);  // 2 - 1045 is out of range
    EXPECT_EQ(s.ResetMode, 1);    // 0 - 1049 is out of range: repeat
    EXPECT_EQ(s.pattern, kPatternFromFile);
    EXPECT_EQ(s.pattern_name, "Acorn");
    EXPECT_EQ(s.picture_name, "--none--.bmp");

    s = parse_startup_settings(
        lf({"1022", "1026", "0", "0", "-3", "1", "100", "0", "0", "1045", "0", "0", "0", "1049", "12", "a", "b"}));
    EXPECT_EQ(s.ResetMode, 0);  // 1049: off
    EXPECT_EQ(s.pattern, 0);
    EXPECT_EQ(s.ResetTimeValue, 12.0);
}

TEST(SettingsFileStartup, MissingFileGivesTheStartValues) {
    expect_same(startup_settings_without_file(), Settings{});
    // An empty file is read, so its identifiers 0 are converted: the reset mode becomes repeat.
    const Settings empty = parse_startup_settings("");
    EXPECT_EQ(empty.ResetMode, kResetRepeat);
    EXPECT_EQ(empty.LightingNum, 0);
    EXPECT_EQ(empty.MainColor, 1022);
    EXPECT_EQ(empty.speed, 1);
    EXPECT_EQ(empty.pattern_name, "");
    EXPECT_EQ(empty.picture_name, ".bmp");
}

TEST(SettingsFileReading, LineEndsAndExtraLines) {
    const std::string lf_only = lf({"1021", "1027", "1", "3", "2", "5", "300", "1", "1", "1047", "1", "1", "0", "1051",
                                    "45.500000", "Glider gun", "sunset"});
    expect_same(parse_startup_settings(lf_only), parse_startup_settings(kTypical));
    expect_same(parse_startup_settings(kTypical + "junk\r\n1\r\n"), parse_startup_settings(kTypical));
    // No line end after the last name.
    EXPECT_EQ(parse_startup_settings(kTypical.substr(0, kTypical.size() - 2)).picture_name, "sunset.bmp");
    // Numbers may share a line; the names follow the line of the fifteenth.
    const Settings packed =
        parse_startup_settings("1021 1027 1 3 2\t5 300 1 1 1047 1 1 0 1051 45.5  \nGlider gun\nsunset\n");
    expect_same(packed, parse_startup_settings(kTypical));
}

TEST(SettingsFileReading, NameLengths) {
    const std::string thirty(30, 'x');
    const std::string forty = std::string(30, 'y') + "0123456789";
    auto with_names = [](std::string_view a, std::string_view b) {
        return crlf({"1022", "1026", "0", "0", "0", "1", "100", "0", "0", "1045", "0", "0", "0", "1049", "10.0", a, b});
    };
    Settings s = parse_startup_settings(with_names(thirty, "pic"));
    EXPECT_EQ(s.pattern_name, thirty);
    EXPECT_EQ(s.picture_name, "pic.bmp");

    s = parse_startup_settings(with_names(forty, forty));
    EXPECT_EQ(s.pattern_name, std::string(30, 'y'));
    EXPECT_EQ(s.picture_name, std::string(30, 'y') + ".bmp");

    // JPEG and PNG names are stored whole and taken as they are; any other gets ".bmp".
    for (auto [stored, file] : {std::pair{"photo.JPG", "photo.JPG"},
                                {"a.jpeg", "a.jpeg"},
                                {"b.png", "b.png"},
                                {"c.bmp", "c.bmp.bmp"},
                                {"d.gif", "d.gif.bmp"}})
        EXPECT_EQ(parse_startup_settings(with_names("", stored)).picture_name, file);

    const DialogSettings d = parse_dialog_settings(with_names("", thirty));
    EXPECT_EQ(d.pattern_name, "");
    EXPECT_EQ(d.picture_name, thirty);

    // A NUL ends a name, as it would end a C string.
    EXPECT_EQ(parse_dialog_settings(with_names(std::string("ab\0cd", 5), "p")).pattern_name, "ab");
}

// Names that would leave their folder are no names to every reader: the
// pattern falls back and no picture file is named (an empty line 17 keeps
// naming ".bmp" in the folder, as before).
TEST(SettingsFileReading, NamesOutsideTheirFolderAreNoNames) {
    for (auto [pattern, picture] :
         {std::pair{"..\\..\\Users\\bob\\x", "..\\..\\Users\\bob\\a.jpg"}, {"../x", "D:\\x.png"}, {"NUL", "com1"}}) {
        const std::string text = crlf({"1022", "1026", "0", "0", "9", "1", "100", "0", "0", "1045", "0", "1", "1",
                                       "1049", "10.0", pattern, picture});
        const Settings s = parse_startup_settings(text);
        EXPECT_EQ(s.pattern, kPatternFromFile);
        EXPECT_EQ(s.pattern_name, "") << pattern;
        EXPECT_EQ(s.picture_name, "") << picture;
        const DialogSettings d = parse_dialog_settings(text);
        EXPECT_EQ(d.pattern_name + d.picture_name, "") << pattern << " " << picture;
    }
}

TEST(SettingsFileReading, NonNumberStopsTheNumbers) {
    // Line 3 is not a number: it and every later number stay 0 before the range rules.
    const std::string text =
        crlf({"1020", "1028", "Life", "3", "2", "5", "300", "1", "1", "1047", "1", "1", "1", "1051", "45", "n", "p"});
    const Settings s = parse_startup_settings(text);
    EXPECT_EQ(s.MainColor, 1020);
    EXPECT_EQ(s.DrawStyle, 1028);
    EXPECT_EQ(s.Family, 0);
    EXPECT_EQ(s.life_rule, 0);
    EXPECT_EQ(s.pattern, 0);
    EXPECT_EQ(s.speed, 1);
    EXPECT_EQ(s.field_size, 100);
    EXPECT_EQ(s.LightingNum, 0);
    EXPECT_EQ(s.ResetMode, kResetRepeat);
    EXPECT_EQ(s.ResetTimeValue, 10.0);

    const DialogSettings d = parse_dialog_settings(text);
    EXPECT_EQ(d.iMainColor, 1020);
    EXPECT_EQ(d.iLightingNum, 1045);
    EXPECT_EQ(d.iResetMode, 1050);

    // A number followed by other characters is read up to them; the rest stops the reading.
    const Settings partial = parse_startup_settings(
        crlf({"1020", "1028", "1", "3", "2.5", "5", "300", "1", "1", "1047", "1", "1", "1", "1051", "45", "n", "p"}));
    EXPECT_EQ(partial.pattern, 2);
    EXPECT_EQ(partial.speed, 1);
    EXPECT_EQ(partial.field_size, 100);
}

TEST(SettingsFileReading, FileEndingEarly) {
    const Settings s = parse_startup_settings(crlf({"1021", "1027", "1", "3", "4", "7"}));
    EXPECT_EQ(s.MainColor, 1021);
    EXPECT_EQ(s.pattern, 4);
    EXPECT_EQ(s.speed, 7);
    EXPECT_EQ(s.field_size, 100);
    EXPECT_EQ(s.ResetMode, kResetRepeat);
    EXPECT_EQ(s.pattern_name, "");
    EXPECT_EQ(s.picture_name, ".bmp");

    // Ending inside the names: the pattern name is read, the picture name stays empty.
    const DialogSettings d = parse_dialog_settings(
        crlf({"1021", "1027", "1", "3", "4", "7", "300", "1", "1", "1047", "1", "1", "0", "1051", "45.5", "Acorn"}));
    EXPECT_EQ(d.pattern_name, "Acorn");
    EXPECT_EQ(d.picture_name, "");
    EXPECT_EQ(d.iResetTime, 45.5f);
}

TEST(SettingsFileReading, ExtremeNumbers) {
    auto with = [](std::string_view pattern, std::string_view lighting, std::string_view reset_id,
                   std::string_view seconds) {
        return crlf({"1022", "1026", "0", "0", pattern, "1", "100", "0", "0", lighting, "0", "0", "0", reset_id,
                     seconds, "n", "p"});
    };
    Settings s = parse_startup_settings(with("99999999999", "-2147483648", "-99999999999", "1e99"));
    EXPECT_EQ(s.pattern, kPatternFromFile);
    EXPECT_EQ(s.LightingNum, 0);
    EXPECT_EQ(s.ResetMode, kResetRepeat);
    EXPECT_EQ(s.ResetTimeValue, 600.0);

    s = parse_startup_settings(with("0", "1046", "1050", "nan"));
    EXPECT_EQ(s.LightingNum, 1);
    EXPECT_EQ(s.ResetTimeValue, 10.0);
    EXPECT_EQ(parse_startup_settings(with("0", "1046", "1050", "-INF")).ResetTimeValue, 10.0);
    EXPECT_EQ(parse_startup_settings(with("0", "1046", "1050", "1.2e2")).ResetTimeValue, 120.0);
    EXPECT_EQ(parse_startup_settings(with("0", "1046", "1050", "+.5e3")).ResetTimeValue, 500.0);
    EXPECT_EQ(parse_startup_settings(with("0", "1046", "1050", "1e-99")).ResetTimeValue, 10.0);

    EXPECT_EQ(parse_dialog_settings(with("0", "1046", "1050", "nan")).iResetTime, 10.0f);
    EXPECT_EQ(parse_dialog_settings(with("0", "1046", "1050", "1e99")).iResetTime, 600.0f);
}

TEST(SettingsFileDialog, RangeRules) {
    const DialogSettings none = dialog_settings_without_file();
    EXPECT_EQ(none.iMainColor, 1022);
    EXPECT_EQ(none.iDrawStyle, 1026);
    EXPECT_EQ(none.iLightingNum, 1045);
    EXPECT_EQ(none.iResetMode, 1050);  // the dialog shows "Repeat" without a file
    EXPECT_EQ(none.iResetTime, 10.0f);

    // Line 5 = 9 names a pattern file: the dialog starts from pattern 0 and keeps the name.
    DialogSettings d = parse_dialog_settings(crlf({"7", "1029", "1", "11", "9", "26", "1001", "5", "-1", "1049", "2",
                                                   "3", "4", "1052", "5", "Acorn", "--none--"}));
    EXPECT_EQ(d.iMainColor, 1022);
    EXPECT_EQ(d.iDrawStyle, 1026);
    EXPECT_EQ(d.iFamily, 1);
    EXPECT_EQ(d.life_rule, 9);
    EXPECT_EQ(d.pattern, 0);
    EXPECT_EQ(d.speed, 25);
    EXPECT_EQ(d.field_size, 1000);
    EXPECT_EQ(d.iOneColor, 1);
    EXPECT_EQ(d.iAllPatterns, 1);
    EXPECT_EQ(d.iLightingNum, 1045);  // 1049 is out of 1045..1048
    EXPECT_EQ(d.iMatrixTr, 1);
    EXPECT_EQ(d.iTexture, 1);
    EXPECT_EQ(d.iCycleTexture, 1);
    EXPECT_EQ(d.iResetMode, 1050);
    EXPECT_EQ(d.iResetTime, 10.0f);
    EXPECT_EQ(d.pattern_name, "Acorn");
    EXPECT_EQ(d.picture_name, "--none--");

    d = parse_dialog_settings(
        crlf({"1020", "1025", "5", "11", "6", "0", "99", "0", "0", "1048", "0", "0", "0", "1051", "700", "a", "b"}));
    EXPECT_EQ(d.iFamily, 0);
    EXPECT_EQ(d.life_rule, 11);
    EXPECT_EQ(d.pattern, 6);
    EXPECT_EQ(d.speed, 1);
    EXPECT_EQ(d.field_size, 100);
    EXPECT_EQ(d.iLightingNum, 1048);
    EXPECT_EQ(d.iResetMode, 1051);
    EXPECT_EQ(d.iResetTime, 600.0f);
}

TEST(SettingsFileWriter, WritesSeventeenCrLfLines) {
    DialogSettings d = parse_dialog_settings(kTypical);
    EXPECT_EQ(format_settings_file(d), kTypical + "0\r\n\r\n");  // and line 18, off, and no rule of its own
    d.iResetTime = 12.0f;
    d.pattern_name = "two\nlines";
    d.picture_name = "";
    EXPECT_EQ(format_settings_file(d), crlf({"1021", "1027", "1", "3", "2", "5", "300", "1", "1", "1047", "1", "1", "0",
                                             "1051", "12.000000", "two", "", "0", ""}));
}

// Line 18: only a lone 1 turns it on; 17 lines, or fewer, read as off; lines 1..17 as before.
TEST(SettingsFileReading, LineEighteen) {
    const std::pair<std::string, int> cases[] = {{"", 0},   {"1\r\n", 1}, {" 1 ", 1},     {"2\r\n", 0},
                                                 {"-1", 0}, {"1.5\n", 0}, {"yes\r\n", 0}, {"\r\n1\r\n", 0}};
    for (const auto& [tail, expected] : cases) {
        EXPECT_EQ(parse_startup_settings(kTypical + tail).FieldPerMonitor, expected) << tail;
        EXPECT_EQ(parse_dialog_settings(kTypical + tail).iFieldPerMonitor, expected) << tail;
        expect_same(parse_startup_settings(kTypical + tail), parse_startup_settings(kTypical));
    }
    EXPECT_EQ(parse_dialog_settings("1021 1027 1\n1\n").iFieldPerMonitor, 0);  // no names, no line 18
}

// Line 19: a rule of its own is kept as written and steers the family it runs
// under; anything that is no rule, or longer than a rule may be, reads as none.
TEST(SettingsFileReading, LineNineteen) {
    const std::string lines18 = kTypical + "0\r\n";
    const std::pair<std::string, std::string> cases[] = {
        {"B36/S23\r\n", "B36/S23"}, {"b2-a/s12", "b2-a/s12"}, {"", ""},
        {"B9/S23\r\n", ""},         {"B3/S23V\n", ""},        {"B3/S23" + std::string(251, ' '), ""},
        {"\r\nB3/S23", ""},
    };
    for (const auto& [tail, expected] : cases) {
        EXPECT_EQ(parse_startup_settings(lines18 + tail).rule_text, expected) << tail;
        EXPECT_EQ(parse_dialog_settings(lines18 + tail).rule_text, expected) << tail;
    }
    DialogSettings d = parse_dialog_settings(lines18 + "345/2/4\r\n");
    EXPECT_EQ(format_settings_file(d), lines18 + "345/2/4\r\n");
    // kTypical is Family 1: a two-state rule runs under Life, a Generations rule
    // under Generation unless Modified Generation was chosen.
    Settings s = parse_startup_settings(lines18 + "B3/S23");
    normalize_second_stage(s);
    EXPECT_EQ(s.Family, kFamilyLife);
    s.Family = kFamilyModifiedGeneration;
    s.rule_text = "/2/3";
    normalize_second_stage(s);
    EXPECT_EQ(s.Family, kFamilyModifiedGeneration);
    s.Family = kFamilyLife;
    s.life_rule = 11;  // Walled Cities: no row of the Generations tables
    normalize_second_stage(s);
    EXPECT_EQ(s.Family, kFamilyGeneration);
    EXPECT_EQ(s.life_rule, 9);
}

TEST(SettingsFileWriter, RoundTripThroughTheDialogReader) {
    DialogSettings d = dialog_settings_without_file();
    d.iMainColor = 1020;
    d.iFamily = 2;
    d.life_rule = 9;
    d.pattern = 8;  // a pattern file from the list
    d.iResetTime = 123.456f;
    d.pattern_name = std::string(30, 'p');
    d.picture_name = "--none--";
    d.iFieldPerMonitor = 1;
    const DialogSettings back = parse_dialog_settings(format_settings_file(d));
    EXPECT_EQ(back.iFieldPerMonitor, 1);
    EXPECT_EQ(back.iMainColor, 1020);
    EXPECT_EQ(back.iFamily, 2);
    EXPECT_EQ(back.life_rule, 9);
    EXPECT_EQ(back.pattern, 0);
    EXPECT_NEAR(back.iResetTime, 123.456f, 1e-4);
    EXPECT_EQ(back.pattern_name, d.pattern_name);
    EXPECT_EQ(back.picture_name, "--none--");
    // The saver reads the same file with its own conversions.
    const Settings s = parse_startup_settings(format_settings_file(d));
    EXPECT_EQ(s.pattern, kPatternFromFile);
    EXPECT_EQ(s.LightingNum, 0);
    EXPECT_EQ(s.ResetMode, kResetRepeat);
    EXPECT_EQ(s.picture_name, "--none--.bmp");
    EXPECT_EQ(s.FieldPerMonitor, 1);
}

// A fresh folder per case, removed afterwards.
class SettingsFileOnDisk : public ::testing::Test {
protected:
    std::string read(const fs::path& p) { return test::read_file(p); }
    void write(const fs::path& p, const std::string& bytes) { test::write_file(p, bytes); }
    int entries(const fs::path& p) {
        int n = 0;
        for ([[maybe_unused]] auto& e : fs::directory_iterator(p)) ++n;
        return n;
    }
    // Where the temporary file went when it had one fixed name.
    static constexpr const char* kPlanted = "ss_ca_02.ini.tmp";
    // What the files a save writes before it replaces the old one hold.
    std::vector<std::string> temporaries() {
        std::vector<std::string> found;
        for (auto& e : fs::directory_iterator(folder_)) {
            const std::string name = e.path().filename().string();
            if (name.rfind(std::string(kSettingsFileName) + ".", 0) == 0 && name != kPlanted)
                found.push_back(read(e.path()));
        }
        return found;
    }
    test::TempFolder scratch_;
    const fs::path folder_ = scratch_.path;
};

TEST_F(SettingsFileOnDisk, SaveReplacesTheOldFile) {
    DialogSettings d = dialog_settings_without_file();
    d.speed = 3;
    ASSERT_TRUE(save_settings_file(folder_, d));
    d.speed = 17;
    d.pattern_name = "Acorn";
    const WriteResult second = save_settings_file(folder_, d);  // the target exists now
    ASSERT_TRUE(second) << second.message;
    EXPECT_EQ(read(folder_ / kSettingsFileName), format_settings_file(d));
    EXPECT_EQ(entries(folder_), 1);  // no temporary file left

    EXPECT_EQ(load_dialog_settings(folder_).speed, 17);
    const Settings s = load_startup_settings(folder_);
    EXPECT_EQ(s.speed, 17);
    EXPECT_EQ(s.pattern_name, "Acorn");
}

TEST_F(SettingsFileOnDisk, FailedSaveKeepsTheOldFile) {
    const fs::path target = folder_ / kSettingsFileName;
    write(target, kTypical);
    DialogSettings d = dialog_settings_without_file();

    // A read-only file stays as it is.
    fs::permissions(target, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    WriteResult r = save_settings_file(folder_, d);
    EXPECT_NE(r.message.find("read-only"), std::string::npos) << r.message;
    EXPECT_EQ(read(target), kTypical);
    EXPECT_EQ(entries(folder_), 1);
    fs::permissions(target, fs::perms::owner_write, fs::perm_options::add);

    // A folder that does not exist: the file named, and why in the system's words.
    r = save_settings_file(folder_ / "missing", d);
    EXPECT_FALSE(r);
    EXPECT_NE(r.message.find(kSettingsFileName), std::string::npos);
    EXPECT_GT(r.message.size(), r.message.find("': ") + 10) << r.message;
    EXPECT_FALSE(fs::exists(folder_ / "missing"));
}

// The moment a power cut or a crash could strike between writing and
// replacing: the new file is already whole and closed beside the old one,
// which is untouched; and it is a file of its own.
TEST_F(SettingsFileOnDisk, NewFileIsWholeBeforeItReplacesTheOld) {
    const fs::path target = folder_ / kSettingsFileName;
    write(target, kTypical);
    // A link planted where a temporary file could go is not written through.
    write(folder_ / "elsewhere", "someone else's");
    std::error_code no_links;
    fs::create_hard_link(folder_ / "elsewhere", folder_ / kPlanted, no_links);
    DialogSettings d = dialog_settings_without_file();
    d.speed = 9;
    std::string old_then;
    std::vector<std::string> new_then;
    ASSERT_TRUE(save_settings_file(folder_, d, [&] {
        old_then = read(target);
        new_then = temporaries();
    }));
    EXPECT_EQ(old_then, kTypical);
    EXPECT_EQ(new_then, std::vector<std::string>{format_settings_file(d)});
    EXPECT_EQ(read(target), format_settings_file(d));
    EXPECT_EQ(read(folder_ / "elsewhere"), "someone else's");
}

// Two saves at once, the second run whole while the first waits to replace
// the old file: each writes a temporary file of its own, so both end well and
// the file is whole, the one replaced last.
TEST_F(SettingsFileOnDisk, OverlappingSavesEachReplaceWithAWholeFile) {
    DialogSettings first = dialog_settings_without_file(), second = first;
    first.speed = 3;
    first.pattern_name = std::string(30, 'a');
    second.speed = 22;
    std::vector<std::string> while_both;
    WriteResult inner;
    const WriteResult outer = save_settings_file(folder_, first, [&] {
        inner = save_settings_file(folder_, second, [&] { while_both = temporaries(); });
        EXPECT_EQ(read(folder_ / kSettingsFileName), format_settings_file(second));
    });
    EXPECT_TRUE(inner) << inner.message;
    EXPECT_TRUE(outer) << outer.message;
    std::vector<std::string> both{format_settings_file(first), format_settings_file(second)};
    std::sort(both.begin(), both.end());
    std::sort(while_both.begin(), while_both.end());
    EXPECT_EQ(while_both, both);
    EXPECT_EQ(read(folder_ / kSettingsFileName), format_settings_file(first));
    EXPECT_EQ(entries(folder_), 1);
}

TEST_F(SettingsFileOnDisk, FailedReplaceRemovesTheTemporaryFile) {
    // The settings file's place is taken by a folder that is not empty.
    fs::create_directories(folder_ / kSettingsFileName / "inside");
    const WriteResult r = save_settings_file(folder_, dialog_settings_without_file());
    EXPECT_FALSE(r);
    EXPECT_FALSE(r.message.empty());
    EXPECT_FALSE(fs::exists(folder_ / "ss_ca_02.ini.tmp"));
    EXPECT_EQ(entries(folder_), 1);
    // Reading treats the folder as no file at all.
    EXPECT_FALSE(read_settings_text(folder_));
    expect_same(load_startup_settings(folder_), Settings{});
}

TEST_F(SettingsFileOnDisk, MakerFolder) {
    EXPECT_EQ(maker_folder_under(folder_), folder_);
    fs::create_directories(folder_ / "Halvorn ScreenSavers");
    EXPECT_EQ(maker_folder_under(folder_), folder_ / "Halvorn ScreenSavers");
    EXPECT_EQ(load_dialog_settings(folder_ / "nowhere").iResetMode, 1050);
}

}  // namespace
}  // namespace orvex
