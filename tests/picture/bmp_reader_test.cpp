#include "picture/bmp_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "tests/support/temp_folder.h"

namespace orvex {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

// ---- inline files --------------------------------------------------------

struct Dib {
    int32_t width = 1;
    int32_t height = 1;
    uint16_t bits = 24;
    uint32_t compression = 0;
    uint32_t colors_used = 0;
    bool core = false;  // 12-byte header
    Bytes palette;      // in file form (masks too)
    Bytes pixels;       // padded
};

// The bitmap in file form ("BM", offset right after the palette) or packed.
Bytes bmp(const Dib& d, bool file_header = true) {
    Bytes b;
    auto put = [&b](uint32_t v, int n) {
        for (int i = 0; i < n; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    const uint32_t header = d.core ? 12 : 40;
    const uint32_t offset = (file_header ? 14 : 0) + header + static_cast<uint32_t>(d.palette.size());
    if (file_header) {
        b = {'B', 'M'};
        put(offset + static_cast<uint32_t>(d.pixels.size()), 4);
        put(0, 4);
        put(offset, 4);
    }
    const int dims = d.core ? 2 : 4;
    put(header, 4);
    put(static_cast<uint32_t>(d.width), dims);
    put(static_cast<uint32_t>(d.height), dims);
    put(1, 2);
    put(d.bits, 2);
    if (!d.core) {
        for (uint32_t v : {d.compression, 0u, 2835u, 2835u, d.colors_used, 0u}) put(v, 4);
    }
    b.insert(b.end(), d.palette.begin(), d.palette.end());
    b.insert(b.end(), d.pixels.begin(), d.pixels.end());
    return b;
}
Bytes packed(const Dib& d) { return bmp(d, false); }

std::optional<RgbImage> read(const Bytes& b, RecordingMessageSink& sink) {
    return auxDIBImageLoadA(b.data(), b.size(), "pic.bmp", sink);
}

// The single message of a failed read.
std::string failure(const Bytes& b) {
    RecordingMessageSink sink;
    EXPECT_FALSE(read(b, sink).has_value());
    if (sink.messages.size() != 1) {
        ADD_FAILURE() << sink.messages.size() << " messages";
        return {};
    }
    EXPECT_EQ(sink.messages[0].caption, "Error");
    return sink.messages[0].text;
}

RgbImage success(const Bytes& b) {
    RecordingMessageSink sink;
    auto image = read(b, sink);
    EXPECT_TRUE(sink.messages.empty()) << (sink.messages.empty() ? "" : sink.messages[0].text);
    if (!image) {
        ADD_FAILURE() << "no image";
        return {};
    }
    EXPECT_EQ(image->pixels.size(), static_cast<size_t>(image->width) * image->height * 3);
    return *image;
}

// 2 x 2, 8 bits per pixel, four palette colours; bottom row 0 1, top row 2 3.
Dib pal8_2x2() {
    Dib d;
    d.width = 2;
    d.height = 2;
    d.bits = 8;
    d.colors_used = 4;
    d.palette = {0, 0, 255, 0, /**/ 0, 255, 0, 0, /**/ 255, 0, 0, 0, /**/ 10, 20, 30, 0};  // BGRx
    d.pixels = {0, 1, 0, 0, /**/ 2, 3, 0, 0};
    return d;
}
const Bytes kPal8Expected{255, 0, 0, 0, 255, 0, 0, 0, 255, 30, 20, 10};

TEST(BmpReader, RowsLosePaddingAndComeOutBottomRowFirst) {
    Dib d;
    d.height = 3;
    d.pixels = {1, 2, 3, 0, /**/ 4, 5, 6, 0, /**/ 7, 8, 9, 0};  // BGR + 1 padding byte per row
    const RgbImage image = success(bmp(d));
    EXPECT_EQ(image.width, 1);
    EXPECT_EQ(image.height, 3);
    EXPECT_EQ(image.pixels, (Bytes{3, 2, 1, 6, 5, 4, 9, 8, 7}));
    d.height = -3;  // stored top row first
    EXPECT_EQ(success(bmp(d)).pixels, (Bytes{9, 8, 7, 6, 5, 4, 3, 2, 1}));
}

TEST(BmpReader, PackedAndFileFormsAndBothPaletteShapes) {
    EXPECT_EQ(success(bmp(pal8_2x2())).pixels, kPal8Expected);
    EXPECT_EQ(success(packed(pal8_2x2())).pixels, kPal8Expected);
    Dib all_colours = pal8_2x2();  // colours-used 0: the depth's 256 entries
    all_colours.colors_used = 0;
    all_colours.palette.resize(256 * 4);
    EXPECT_EQ(success(packed(all_colours)).pixels, kPal8Expected);

    Dib core;  // 12-byte header, 3-byte palette entries
    core.core = true;
    core.width = 3;
    core.bits = 1;
    core.palette = {0, 0, 0, /**/ 255, 255, 255};
    core.pixels = {0xA0, 0, 0, 0};  // 1 0 1
    const Bytes expected{255, 255, 255, 0, 0, 0, 255, 255, 255};
    EXPECT_EQ(success(packed(core)).pixels, expected);
    EXPECT_EQ(success(bmp(core)).pixels, expected);
}

TEST(BmpReader, OtherDepths) {
    Dib four;  // an index beyond the palette reads as black
    four.width = 3;
    four.bits = 4;
    four.colors_used = 2;
    four.palette = {0, 0, 0, 0, /**/ 40, 50, 60, 0};
    four.pixels = {0x1F, 0x10, 0, 0};
    EXPECT_EQ(success(bmp(four)).pixels, (Bytes{60, 50, 40, 0, 0, 0, 60, 50, 40}));

    Dib sixteen;  // 5-5-5: red 31, green 0, blue 16
    sixteen.bits = 16;
    sixteen.pixels = {0x10, 0x7C, 0, 0};
    EXPECT_EQ(success(bmp(sixteen)).pixels, (Bytes{255, 0, 132}));

    Dib thirty_two;  // BGRx
    thirty_two.bits = 32;
    thirty_two.pixels = {7, 8, 9, 0xEE};
    EXPECT_EQ(success(bmp(thirty_two)).pixels, (Bytes{9, 8, 7}));
    thirty_two.compression = 3;  // masks: red in the low byte, blue in the high byte
    thirty_two.palette = {0xFF, 0, 0, 0, /**/ 0, 0xFF, 0, 0, /**/ 0, 0, 0, 0xFF};
    EXPECT_EQ(success(bmp(thirty_two)).pixels, (Bytes{7, 8, 0xEE}));
}

TEST(BmpReader, Rle8RunsAbsoluteGroupsAndMoves) {
    Dib d;
    d.width = 4;
    d.height = 3;
    d.bits = 8;
    d.compression = 1;
    d.colors_used = 3;
    d.palette = {0, 0, 0, 0, /**/ 0, 0, 200, 0, /**/ 0, 100, 0, 0};
    d.pixels = {2, 1,                                                     // row 0: 1 1
                0, 2, 1, 1,                                               // move right 1 and up 1: row 1, x = 3
                1, 2, 0, 0,                                               // one 2, end of row
                0, 3, 2, 1, 2, 0,                                         // row 2: absolute 2 1 2 (padded to 16 bits)
                9, 1,                                                     // a run past the row end is clipped
                0, 1};                                                    // end of picture
    const Bytes expected{200, 0,   0, 200, 0, 0, 0, 0,   0, 0,   0,   0,  //
                         0,   0,   0, 0,   0, 0, 0, 0,   0, 0,   100, 0,  //
                         0,   100, 0, 200, 0, 0, 0, 100, 0, 200, 0,   0};
    EXPECT_EQ(success(bmp(d)).pixels, expected);

    Dib cut = d;  // ends on the first row without its end marker
    cut.pixels = {3, 1};
    EXPECT_EQ(failure(bmp(cut)), "Image file conversion error.");
    d.height = -3;
    EXPECT_EQ(failure(bmp(d)), "Image file conversion error.");
}

TEST(BmpReader, UnknownHeadersAndUnconvertibleEncodings) {
    for (uint8_t size : {0, 16, 52, 56, 64, 108, 124}) {
        Bytes b = bmp(pal8_2x2());
        b[14] = size;
        EXPECT_EQ(failure(b), "Unknown DIB file format.") << int{size};
    }
    EXPECT_EQ(failure(Bytes{'B', 'M', 0}), "Unknown DIB file format.");
    EXPECT_EQ(failure(Bytes{40, 0}), "Unknown DIB file format.");

    auto with = [](void (*change)(Dib&)) {
        Dib d = pal8_2x2();
        change(d);
        return failure(bmp(d));
    };
    for (auto change :
         {+[](Dib& d) { d.bits = 7; }, +[](Dib& d) { d.bits = 64; }, +[](Dib& d) { d.compression = 4; },  // JPEG
          +[](Dib& d) { d.compression = 2; },  // RLE4 at 8 bits
          +[](Dib& d) { d.width = 0; }, +[](Dib& d) { d.width = -2; }, +[](Dib& d) { d.height = 0; }}) {
        EXPECT_EQ(with(change), "Image file conversion error.");
    }
}

TEST(BmpReader, TruncatedAndLyingFilesFailWithoutReadingPastTheEnd) {
    // The last row's padding may be missing; anything shorter fails.
    for (const Bytes& whole : {bmp(pal8_2x2()), packed(pal8_2x2())}) {
        for (size_t n = 1; n < whole.size() - 2; ++n) {
            const std::string message = failure(Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n)));
            EXPECT_TRUE(message == "Unknown DIB file format." || message == "Image file conversion error.") << n;
        }
    }
    Bytes far_offset = bmp(pal8_2x2());
    far_offset[13] = 0x7F;
    EXPECT_EQ(failure(far_offset), "Image file conversion error.");
    Bytes offset_in_header = bmp(pal8_2x2());
    offset_in_header[10] = 20;
    EXPECT_EQ(failure(offset_in_header), "Image file conversion error.");

    Dib huge_palette = pal8_2x2();  // a packed bitmap's pixels would start past the end
    huge_palette.colors_used = 0x40000000;
    EXPECT_EQ(failure(packed(huge_palette)), "Image file conversion error.");
    // With a file header the pixel offset is known: only the entries before it are read.
    EXPECT_EQ(success(bmp(huge_palette)).pixels, kPal8Expected);
}

TEST(BmpReader, AbsurdSizesAreRefusedBeforeAllocating) {
    Dib d = pal8_2x2();
    for (auto [w, h] : {std::pair{100000, 100000}, {0x7FFFFFFF, INT32_MIN}, {8192, 8193}}) {
        d.width = w;
        d.height = h;
        EXPECT_EQ(failure(bmp(d)), "Out of memory.") << w << " x " << h;
    }
    d.height = 8192;  // allowed size, but the pixels aren't there
    EXPECT_EQ(failure(bmp(d)), "Image file conversion error.");

    RecordingMessageSink sink;  // a caller's own limit
    const Bytes small = bmp(pal8_2x2());
    EXPECT_FALSE(auxDIBImageLoadA(small.data(), small.size(), "pic.bmp", sink, 3));
    EXPECT_TRUE(auxDIBImageLoadA(small.data(), small.size(), "pic.bmp", sink, 4));
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].text, "Out of memory.");
}

TEST(BmpReader, LoadBmpReadsFilesAndNamesAnEmptyOne) {
    const test::TempFolder dir;
    auto write = [&](const char* name, const Bytes& b) {
        test::write_file(dir / name, std::string(b.begin(), b.end()));
        return dir / name;
    };
    RecordingMessageSink sink;
    EXPECT_FALSE(LoadBMP("", sink));
    EXPECT_FALSE(LoadBMP(dir / "absent.bmp", sink));
    EXPECT_FALSE(LoadBMP(dir.path, sink));  // a folder can't be opened as a picture
    EXPECT_TRUE(sink.messages.empty());

    const auto image = LoadBMP(write("small.bmp", bmp(pal8_2x2())), sink);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixels, kPal8Expected);

    const fs::path empty = write("empty.bmp", {});
    EXPECT_FALSE(LoadBMP(empty, sink));
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].caption, "Error");
    EXPECT_EQ(sink.messages[0].text, "Failed to open DIB file " + empty.u8string() + ".\n");
}

// ---- BMP Suite ------------------------------------------------------------

fs::path suite_dir() { return fs::path(ORVEX_TEST_DATA_DIR) / "bmpsuite"; }

// A picture of the suite, or its one message; never both.
std::pair<std::optional<RgbImage>, std::string> suite(const std::string& name) {
    std::ifstream in(suite_dir() / name, std::ios::binary);
    if (!in) return {std::nullopt, "cannot open " + (suite_dir() / name).u8string()};
    const Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    RecordingMessageSink sink;
    auto image = auxDIBImageLoadA(bytes.data(), bytes.size(), name, sink);
    EXPECT_EQ(sink.messages.size(), image ? 0u : 1u) << name;
    if (image) {
        EXPECT_EQ(image->pixels.size(), static_cast<size_t>(image->width) * image->height * 3) << name;
    }
    return {std::move(image), sink.messages.empty() ? "" : sink.messages[0].text};
}

RgbImage suite_image(const std::string& name) {
    auto [image, message] = suite(name);
    if (!image) {
        ADD_FAILURE() << name << ": " << message;
        return {};
    }
    return *image;
}

std::string suite_failure(const std::string& name) { return suite(name).second; }

TEST(BmpSuite, TrueColourEncodingsMatchTheTwentyFourBitPicture) {
    const RgbImage reference = suite_image("g/rgb24.bmp");
    ASSERT_FALSE(reference.pixels.empty());
    for (const char* name : {"g/rgb24pal.bmp", "g/rgb32.bmp", "g/rgb32bf.bmp", "g/rgb32bfdef.bmp",
                             "q/rgb24largepal.bmp", "q/rgb32fakealpha.bmp"}) {
        EXPECT_EQ(suite_image(name).pixels, reference.pixels) << name;
    }
}

// 16-bit pictures hold the 24-bit one cut to 5 or 6 bits a channel, scaled
// back so that the top level is 255.
TEST(BmpSuite, SixteenBitEncodingsScaleEveryLevelToFullRange) {
    const RgbImage reference = suite_image("g/rgb24.bmp");
    ASSERT_FALSE(reference.pixels.empty());
    auto check = [&](const char* name, std::array<int, 3> bits) {
        const RgbImage image = suite_image(name);
        ASSERT_FALSE(image.pixels.empty()) << name;
        ASSERT_EQ(image.pixels.size(), reference.pixels.size()) << name;
        for (size_t i = 0; i < image.pixels.size(); ++i) {
            const int levels = (1 << bits[i % 3]) - 1;
            const int v = image.pixels[i];
            const int level = (v * levels + 127) / 255;
            ASSERT_EQ(v, (level * 255 + levels / 2) / levels) << name << " byte " << i;
            ASSERT_LE(std::abs(v - reference.pixels[i]), 255 / levels) << name << " byte " << i;
        }
        EXPECT_EQ(*std::max_element(image.pixels.begin(), image.pixels.end()), 255) << name;  // white is white
    };
    check("g/rgb16.bmp", {5, 5, 5});
    check("g/rgb16bfdef.bmp", {5, 5, 5});
    check("g/rgb16-565.bmp", {5, 6, 5});
    check("g/rgb16-565pal.bmp", {5, 6, 5});
    EXPECT_EQ(suite_image("q/rgb16faketrns.bmp").pixels, suite_image("g/rgb16.bmp").pixels);
}

TEST(BmpSuite, PalettedEncodingsOfOnePictureAgree) {
    const RgbImage pal8 = suite_image("g/pal8.bmp");
    ASSERT_FALSE(pal8.pixels.empty());
    for (const char* name :
         {"g/pal8-0.bmp", "g/pal8os2.bmp", "g/pal8rle.bmp", "g/pal8topdown.bmp", "q/pal8offs.bmp", "q/pal8os2sp.bmp",
          "q/pal8os2-sz.bmp", "q/pal8os2-hs.bmp", "q/pal8os2v2-40sz.bmp", "q/pal8oversizepal.bmp"}) {
        EXPECT_EQ(suite_image(name).pixels, pal8.pixels) << name;
    }
    // 252 colours: six levels of red and blue, seven of green, nearest within a step.
    const RgbImage rgb24 = suite_image("g/rgb24.bmp");
    ASSERT_EQ(rgb24.pixels.size(), pal8.pixels.size());
    for (size_t i = 0; i < pal8.pixels.size(); ++i) {
        ASSERT_LE(std::abs(pal8.pixels[i] - rgb24.pixels[i]), 51) << i;
    }

    EXPECT_EQ(suite_image("g/pal4rle.bmp").pixels, suite_image("g/pal4.bmp").pixels);
    // The two-colour pictures differ only in their palette order.
    const RgbImage pal1 = suite_image("g/pal1.bmp");
    ASSERT_FALSE(pal1.pixels.empty());
    EXPECT_EQ(suite_image("g/pal1wb.bmp").pixels, pal1.pixels);
    for (uint8_t v : pal1.pixels) ASSERT_TRUE(v == 0 || v == 255);

    for (auto [name, w, h] : {std::tuple{"g/pal8w124.bmp", 124, 61},
                              {"g/pal8w125.bmp", 125, 62},
                              {"g/pal8w126.bmp", 126, 63},
                              {"g/pal8nonsquare.bmp", 127, 32}}) {
        const RgbImage image = suite_image(name);
        EXPECT_EQ(std::pair(image.width, image.height), std::pair(w, h)) << name;
    }
}

// Version 4 and 5 headers are unknown. Bad files: some only lie in fields the
// reader doesn't use, or can be read safely (clipped RLE, missing palette
// entries black); the rest fail.
TEST(BmpSuite, UnknownAndBadFiles) {
    for (const char* name :
         {"b/badbitssize.bmp", "b/baddens1.bmp", "b/baddens2.bmp", "b/badfilesize.bmp", "b/badplanes.bmp",
          "b/badpalettesize.bmp", "b/badrle.bmp", "b/badrlebis.bmp", "b/badrleter.bmp", "b/badrle4.bmp",
          "b/badrle4bis.bmp", "b/badrle4ter.bmp", "b/pal8badindex.bmp", "b/rgb16-880.bmp"}) {
        suite_image(name);
    }
    EXPECT_EQ(suite_failure("g/pal8v4.bmp"), "Unknown DIB file format.");
    EXPECT_EQ(suite_failure("g/pal8v5.bmp"), "Unknown DIB file format.");
    EXPECT_EQ(suite_failure("b/badbitcount.bmp"), "Image file conversion error.");
    EXPECT_EQ(suite_failure("b/badheadersize.bmp"), "Unknown DIB file format.");
    EXPECT_EQ(suite_failure("b/badwidth.bmp"), "Image file conversion error.");
    EXPECT_EQ(suite_failure("b/reallybig.bmp"), "Out of memory.");
    EXPECT_EQ(suite_failure("b/rletopdown.bmp"), "Image file conversion error.");
    EXPECT_EQ(suite_failure("b/shortfile.bmp"), "Image file conversion error.");
}

// Questionable and related files: loaded or refused with one message, never
// read out of bounds (the sanitizers watch).
TEST(BmpSuite, QuestionableFilesNeverCrash) {
    int loaded = 0;
    for (const char* folder : {"q", "x"}) {
        ASSERT_TRUE(fs::is_directory(suite_dir() / folder)) << suite_dir() / folder;
        for (const auto& entry : fs::directory_iterator(suite_dir() / folder)) {
            loaded += suite(std::string(folder) + "/" + entry.path().filename().string()).first.has_value();
        }
    }
    EXPECT_GE(loaded, 20);
}

}  // namespace
}  // namespace orvex
