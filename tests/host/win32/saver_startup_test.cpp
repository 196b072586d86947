#include "host/win32/saver_startup.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace orvex {
namespace {

namespace fs = std::filesystem;

TEST(SaverStartup, BaseFolderFallsBackInOrder) {
    const fs::path pf = "C:/Program Files", sys = "C:/windows/system32", win = "C:/windows";
    EXPECT_EQ(choose_base_folder(pf, sys, win), pf);
    EXPECT_EQ(choose_base_folder(std::nullopt, sys, win), sys);
    EXPECT_EQ(choose_base_folder(fs::path(), sys, win), sys);
    EXPECT_EQ(choose_base_folder(std::nullopt, std::nullopt, win), win);
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
