#include "config/file_names.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace orvex {
namespace {

namespace fs = std::filesystem;

// Names as the settings file may hold them, in the held encoding; the same
// verdicts natively and under Wine.
TEST(FileNames, OnlyPlainNamesStayInTheirFolder) {
    const std::string oelbild = name_of(fs::u8path("\xC3\x96lbild.bmp")).value();
    const std::string com_superscript = name_of(fs::u8path("COM\xC2\xB9.bmp")).value();
    const struct {
        std::string name;
        bool plain;
    } cases[] = {
        {"x.bmp", true},
        {oelbild, true},
        {"..x.bmp", true},
        {"x.bmp.", true},  // Windows drops the dot: still x.bmp in the folder
        {"COM10.bmp", true},
        {"nul_picture.bmp", true},
        {"..\\x.bmp", false},
        {"a/b.jpg", false},
        {"C:x.png", false},
        {"D:\\x.png", false},
        {"\\\\host\\share\\x.bmp", false},
        {"x.bmp:hidden", false},  // a stream of x.bmp
        {"NUL", false},
        {"com1.bmp", false},
        {"Com9 .lif", false},
        {"aux.tar.gz", false},
        {"CONIN$", false},
        {com_superscript, false},
        {"", false},
        {".", false},
        {"..", false},
        {"tab\tname", false},
        {std::string("a\0b", 3), false},
    };
    const fs::path folder = fs::path("Maker") / "Pictures";
    for (const auto& c : cases) {
        EXPECT_EQ(is_plain_file_name(c.name), c.plain) << c.name;
        if (!c.plain) continue;
        const fs::path joined = path_for_name(folder, c.name);
        EXPECT_EQ(joined.parent_path(), folder) << c.name;
        EXPECT_EQ(name_of(joined), c.name);
    }
}

}  // namespace
}  // namespace orvex
