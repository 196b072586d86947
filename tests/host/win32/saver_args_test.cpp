#include "host/win32/saver_args.h"

#include <gtest/gtest.h>

namespace orvex {
namespace {

TEST(SaverArgs, ModeLettersInEitherCaseWithoutHandle) {
    EXPECT_EQ(parse_saver_args("/s").mode, SaverMode::FullScreen);
    EXPECT_EQ(parse_saver_args("/S").mode, SaverMode::FullScreen);
    EXPECT_EQ(parse_saver_args("-s").mode, SaverMode::FullScreen);
    EXPECT_EQ(parse_saver_args("/c").mode, SaverMode::Configure);
    EXPECT_EQ(parse_saver_args("/C").mode, SaverMode::Configure);
    EXPECT_EQ(parse_saver_args("/a").mode, SaverMode::ChangePassword);
    EXPECT_EQ(parse_saver_args("/S").window, 0u);
}

TEST(SaverArgs, NoLetterMeansConfiguration) {
    for (const char* line : {"", "   ", "/", "/x 12", "1234"}) {
        const SaverArgs args = parse_saver_args(line);
        EXPECT_EQ(args.mode, SaverMode::Configure) << line;
        EXPECT_EQ(args.window, 0u) << line;
    }
}

TEST(SaverArgs, FirstModeLetterDecidesAndOthersAreSkipped) {
    EXPECT_EQ(parse_saver_args("/x /s /c").mode, SaverMode::FullScreen);
    EXPECT_EQ(parse_saver_args("--/p 77 /s").mode, SaverMode::Preview);
    EXPECT_EQ(parse_saver_args("--/p 77 /s").window, 77u);
    // "x", "y" and digits are not mode letters; the first one that is wins.
    EXPECT_EQ(parse_saver_args("xy9 a 5").mode, SaverMode::ChangePassword);
    EXPECT_EQ(parse_saver_args("xy9 a 5").window, 5u);
}

TEST(SaverArgs, HandleAsWindowsWritesIt) {
    EXPECT_EQ(parse_saver_args("/p 1234").window, 1234u);
    EXPECT_EQ(parse_saver_args("/P:1234").window, 1234u);
    EXPECT_EQ(parse_saver_args("/p\t \t65810").window, 65810u);
    EXPECT_EQ(parse_saver_args("/p1234").window, 1234u);
    EXPECT_EQ(parse_saver_args("/c:4242").mode, SaverMode::Configure);
    EXPECT_EQ(parse_saver_args("/c:4242").window, 4242u);
    EXPECT_EQ(parse_saver_args("/a 99").window, 99u);
    // The number ends at the first non-digit.
    EXPECT_EQ(parse_saver_args("/p 12ab34").window, 12u);
}

TEST(SaverArgs, MissingOrUnusableHandleIsZero) {
    EXPECT_EQ(parse_saver_args("/p").window, 0u);
    EXPECT_EQ(parse_saver_args("/p   ").window, 0u);
    EXPECT_EQ(parse_saver_args("/p x1234").window, 0u);
    EXPECT_EQ(parse_saver_args("/p -5").window, 0u);
    EXPECT_EQ(parse_saver_args("/p ::5").window, 0u);
    // Larger than any window handle: refused rather than wrapped round.
    EXPECT_EQ(parse_saver_args("/p 4294967296").window, 0u);
    EXPECT_EQ(parse_saver_args("/p 99999999999999999999999").window, 0u);
    EXPECT_EQ(parse_saver_args("/p 4294967295").window, 4294967295u);
}

}  // namespace
}  // namespace orvex
