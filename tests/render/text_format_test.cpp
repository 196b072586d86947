#include "render/text_format.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace orvex {
namespace {

std::size_t format(char (&out)[kPrintBufferSize], const char* f, ...) {
    std::va_list args;
    va_start(args, f);
    const std::size_t n = format_print_text(out, f, args);
    va_end(args);
    return n;
}

TEST(TextFormat, FormatsByThePrintfRules) {
    char out[kPrintBufferSize];
    EXPECT_EQ(format(out, "Gen %d, %s", 42, "Life"), 12u);
    EXPECT_STREQ(out, "Gen 42, Life");
    EXPECT_EQ(format(out, ""), 0u);
    EXPECT_STREQ(out, "");
}

TEST(TextFormat, NullFormatGivesNothing) {
    char out[kPrintBufferSize];
    out[0] = 'x';
    EXPECT_EQ(format(out, nullptr), 0u);
    EXPECT_STREQ(out, "");
}

TEST(TextFormat, LongTextIsCutToTheBuffer) {
    // Guards on either side catch a write past the buffer.
    struct {
        char before[8];
        char out[kPrintBufferSize];
        char after[8];
    } frame;
    std::memset(&frame, '#', sizeof frame);
    const std::string exact(255, 'a');
    EXPECT_EQ(format(frame.out, "%s", exact.c_str()), 255u);
    EXPECT_EQ(std::string(frame.out), exact);

    const std::string long_text(1000, 'b');
    EXPECT_EQ(format(frame.out, "%s|%s", long_text.c_str(), "tail"), 255u);
    EXPECT_EQ(std::string(frame.out), long_text.substr(0, 255));
    EXPECT_EQ(std::string(frame.after, 8), std::string(8, '#'));
    EXPECT_EQ(std::string(frame.before, 8), std::string(8, '#'));
}

}  // namespace
}  // namespace orvex
