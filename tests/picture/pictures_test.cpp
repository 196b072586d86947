#include "picture/pictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

namespace orvex {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

PictureLister names(Names list) {
    return [list = std::move(list)]() { return list; };
}

Settings cycling(const std::string& picture) {
    Settings s;
    s.TextureFlag = 1;
    s.Texture_Renew = 1;
    s.picture_name = picture;
    return s;
}

TEST(Pictures, ListsBmpNamesInListingOrderAndSkipsLongOnes) {
    const std::string longest(25, 'a');  // 29 characters with ".bmp"
    PictureCycler cycler(names({"b.BMP", "notes.txt", "a.bmp", "c.Bmp", "bmp", "x.bmpx", longest + ".bmp",
                                std::string(36, 'b') + ".bmp", longest + "a.bmp"}));
    Settings s = cycling("a.bmp");
    EXPECT_EQ(cycler.Find_Pictures(s), 1);
    EXPECT_EQ(cycler.pictures(), (Names{"b.BMP", "a.bmp", "c.Bmp", longest + ".bmp"}));
    EXPECT_EQ(s.Texture_Renew, 1);

    // JPEGs and PNGs come after every BMP, in listing order too.
    PictureCycler mixed(names({"z.jpg", "b.bmp", "c.PNG", "d.jpeg", "e.gif", "a.BMP"}));
    mixed.Find_Pictures(s);
    EXPECT_EQ(mixed.pictures(), (Names{"b.bmp", "a.BMP", "z.jpg", "c.PNG", "d.jpeg"}));
}

TEST(Pictures, FewerThanTwoPicturesSwitchCyclingOff) {
    for (const Names& list : {Names{}, Names{"only.bmp", "readme.txt"}}) {
        PictureCycler cycler(names(list));
        Settings s = cycling("only.bmp");
        EXPECT_EQ(cycler.Find_Pictures(s), 1);
        EXPECT_EQ(s.Texture_Renew, 0);
        cycler.advance_for_seeding(s);  // cycling is off: nothing moves
        EXPECT_EQ(s.picture_name, "only.bmp");
    }
}

TEST(Pictures, NamedPictureIsKeptFirstThenTheListGoesRound) {
    PictureCycler cycler(names({"p0.bmp", "p1.bmp", "p2.bmp", "p3.bmp"}));
    Settings s = cycling("p2.bmp");
    cycler.Find_Pictures(s);
    Names shown;
    for (int i = 0; i < 4; ++i) {
        cycler.advance_for_seeding(s);
        shown.push_back(s.picture_name);
    }
    EXPECT_EQ(shown, (Names{"p2.bmp", "p3.bmp", "p0.bmp", "p1.bmp"}));

    // A monitor's start offset: the name looked ahead is the one the seeding takes.
    PictureCycler third(names({"p0.bmp", "p1.bmp", "p2.bmp", "p3.bmp"}), 3);
    third.Find_Pictures(s);
    for (const char* expected : {"p0.bmp", "p1.bmp"}) {
        const std::string ahead = third.peek_next(s);
        third.advance_for_seeding(s);
        EXPECT_EQ(s.picture_name, expected);
        EXPECT_EQ(ahead, expected);
    }

    for (const char* absent : {"missing.bmp", "P1.BMP"}) {  // exact comparison, else the first
        s.picture_name = absent;
        cycler.Find_Pictures(s);
        cycler.advance_for_seeding(s);
        EXPECT_EQ(s.picture_name, "p0.bmp");
    }
}

TEST(Pictures, AtMostOneHundredPictures) {
    Names many;
    for (int i = 0; i < 150; ++i) many.push_back("pic" + std::to_string(i) + ".bmp");
    PictureCycler cycler(names(many));
    Settings s = cycling("pic99.bmp");
    EXPECT_EQ(cycler.Find_Pictures(s), 0);
    EXPECT_EQ(cycler.count(), 100);
    EXPECT_EQ(s.Texture_Renew, 1);
    cycler.advance_for_seeding(s);
    EXPECT_EQ(s.picture_name, "pic99.bmp");
    cycler.advance_for_seeding(s);
    EXPECT_EQ(s.picture_name, "pic0.bmp");
}

TEST(Pictures, CyclingWithoutAListingKeepsTheName) {
    PictureCycler cycler(names({"a.bmp", "b.bmp"}));
    Settings s = cycling("mine.bmp");
    cycler.advance_for_seeding(s);
    cycler.advance_for_seeding(s);
    EXPECT_EQ(s.picture_name, "mine.bmp");
}

TEST(Pictures, FolderListerGivesTheFolderFiles) {
    auto scratch = std::make_unique<test::TempFolder>();
    const fs::path dir = scratch->path;
    fs::create_directories(dir / "sub.bmp");
    for (const char* name : {"one.bmp", "TWO.BMP", "three.txt"}) std::ofstream(dir / name) << "x";
    Names found = folder_lister(dir)();
    scratch.reset();
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (Names{"TWO.BMP", "one.bmp", "three.txt"}));
    EXPECT_TRUE(folder_lister(dir)().empty());  // a missing folder lists nothing
}

}  // namespace
}  // namespace orvex
