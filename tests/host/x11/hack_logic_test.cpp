// orvex-hack's command line and files, without a display.
#include <gtest/gtest.h>

#include <sstream>

#include "host/x11/hack_files.h"
#include "host/x11/hack_options.h"

namespace orvex::x11 {
namespace {

struct Parsed {
    ParseResult result;
    HackOptions options;
    std::string err;
};

Parsed parse(std::vector<std::string> args) {
    Parsed p;
    std::ostringstream out, err;
    p.result = parse_hack_options(args, p.options, out, err);
    p.err = err.str();
    return p;
}

Settings with(std::vector<std::string> args, Settings s = {}) {
    Parsed p = parse(std::move(args));
    EXPECT_TRUE(p.result.run) << p.err;
    apply_overrides(p.options.overrides, s);
    return s;
}

TEST(HackOptions, XScreenSaverSpellingsAndWindowChoice) {
    Parsed p = parse({"-root", "-fps", "-delay", "20000", "-visual", "default", "-install"});
    ASSERT_TRUE(p.result.run) << p.err;
    EXPECT_EQ(p.options.window, WindowChoice::kRoot);
    EXPECT_TRUE(p.options.fps);

    p = parse({"-window-id", "0x1a00003"});
    ASSERT_TRUE(p.result.run);
    EXPECT_EQ(p.options.window_id, 0x1a00003ul);
    EXPECT_EQ(window_from_environment(p.options, "123"), 0x1a00003ul);  // the option wins

    // $XSCREENSAVER_WINDOW: hex from XScreenSaver, decimal from xsecurelock; -window ignores it.
    EXPECT_EQ(window_from_environment(parse({"-root"}).options, "0x2c00007"), 0x2c00007ul);
    EXPECT_EQ(window_from_environment(parse({}).options, "46137351"), 46137351ul);
    EXPECT_FALSE(window_from_environment(parse({"-window"}).options, "46137351"));
    EXPECT_FALSE(window_from_environment(parse({}).options, nullptr));

    for (const char* bad : {"", "0", "x12", "0x", "12ab", "-5", "0x1g"}) EXPECT_FALSE(parse_window_id(bad)) << bad;

    // The renderer: OpenGL ES 3 unless asked; given twice, the last one counts.
    EXPECT_EQ(parse({}).options.renderer, RendererChoice::kGles3);
    EXPECT_EQ(parse({"--renderer", "gl11"}).options.renderer, RendererChoice::kGl11);
    EXPECT_EQ(parse({"--renderer", "gl11", "-renderer", "gles3"}).options.renderer, RendererChoice::kGles3);
}

TEST(HackOptions, UnknownOptionsAndBadValuesAreUsageErrors) {
    for (std::vector<std::string> args : {std::vector<std::string>{"-bogus"},
                                          {"--color", "purple"},
                                          {"--rule", "nosuchrule"},
                                          {"--rule", "B9/S23"},
                                          {"--speed", "fast"},
                                          {"-window-id", "xyz"},
                                          {"--renderer", "vulkan"},
                                          {"--pattern", "../etc/passwd"},
                                          {"stray"}}) {
        Parsed p = parse(args);
        EXPECT_FALSE(p.result.run) << args[0];
        EXPECT_EQ(p.result.exit_code, 1) << args[0];
        EXPECT_NE(p.err.find("Usage"), std::string::npos) << p.err;
    }
    Parsed help = parse({"--help"});
    EXPECT_FALSE(help.result.run);
    EXPECT_EQ(help.result.exit_code, 0);
}

TEST(HackOptions, SettingsOverrideTheFileAndMeetItsRangeRules) {
    Settings file;
    file.speed = 10;
    file.OneColor = 1;
    Settings s = with({"--color", "Red", "--style", "quads", "--size", "5000", "--speed", "0", "--lights", "7",
                       "--reset", "time", "--reset-time", "5.5", "--no-one-color", "--wrap"},
                      file);
    EXPECT_EQ(s.MainColor, kColorRed);
    EXPECT_EQ(s.DrawStyle, kStyleQuads);
    EXPECT_EQ(s.field_size, 1000);
    EXPECT_EQ(s.speed, 1);
    EXPECT_EQ(s.LightingNum, 0);
    EXPECT_EQ(s.ResetMode, kResetTime);
    EXPECT_EQ(s.ResetTimeValue, 10.0);
    EXPECT_EQ(s.OneColor, 0);
    EXPECT_EQ(s.MatrixTr, 1);
    EXPECT_EQ(with({}, file).speed, 10);  // no option: the file's value

    // The rule's table picks Life or Generations; a Generations rule keeps a modified family.
    s = with({"--rule", "Conway's Life", "--family", "generation"});
    EXPECT_EQ(s.Family, kFamilyLife);
    EXPECT_EQ(s.life_rule, 4);
    s = with({"--rule", "brain6"});
    EXPECT_EQ(s.Family, kFamilyGeneration);
    EXPECT_EQ(s.life_rule, 3);
    EXPECT_EQ(with({"--family", "modified-generation", "--rule", "xtasy"}).Family, kFamilyModifiedGeneration);
    // In notation: a catalogue rule's sets select it, any other rule runs as its own
    // (a Generations one under Generation), and a name replaces the file's own rule.
    s = with({"--rule", "B3/S23", "--family", "generation"});
    EXPECT_EQ(s.Family, kFamilyLife);
    EXPECT_EQ(s.life_rule, 4);
    EXPECT_EQ(s.rule_text, "");
    EXPECT_EQ(with({"--rule", "345/2/4"}).rule_text, "345/2/4");
    Settings own;
    own.rule_text = "B2-a/S12";
    EXPECT_EQ(with({}, own).rule_text, "B2-a/S12");
    EXPECT_EQ(with({"--rule", "maze"}, own).rule_text, "");

    s = with({"--pattern", "block2525"});
    EXPECT_EQ(s.pattern, 6);
    s = with({"--pattern", "Acorn.lif"});
    EXPECT_EQ(s.pattern, kPatternFromFile);
    EXPECT_EQ(s.pattern_name, "Acorn");
    EXPECT_EQ(with({"--pattern", "Acorn.rle"}).pattern_name, "Acorn.rle");
    s = with({"--picture", "/home/u/pics/sea.bmp", "--cycle"});
    EXPECT_EQ(s.TextureFlag, 1);
    EXPECT_EQ(s.Texture_Renew, 1);
    EXPECT_EQ(s.picture_name, "sea.bmp");
}

TEST(HackFiles, ConfigFolderPatternsAndPictures) {
    EXPECT_EQ(config_folder("/x/cfg", "/home/u"), "/x/cfg/orvex");
    EXPECT_EQ(config_folder("relative", "/home/u"), "/home/u/.config/orvex");
    EXPECT_EQ(config_folder(nullptr, "/home/u"), "/home/u/.config/orvex");
    EXPECT_TRUE(config_folder(nullptr, nullptr).empty());

    SaverFiles f = hack_files("/c/orvex", "/usr/share/orvex/Patterns2d", {});
    EXPECT_EQ(f.settings_file, "/c/orvex/ss_ca_02.ini");
    EXPECT_EQ(f.pattern_folders,
              (std::vector<std::filesystem::path>{"/c/orvex/Patterns2d", "/usr/share/orvex/Patterns2d"}));
    EXPECT_EQ(f.pictures_folder, "/c/orvex/Pictures");
    EXPECT_EQ(hack_files("/c/orvex", {}, "/p/sea.bmp").pictures_folder, "/p");
}

}  // namespace
}  // namespace orvex::x11
