// Pictures of every format: the larger BMP headers, the platform's JPEG and
// PNG decoders, the reduction while decoding, upright EXIF pictures and the
// one message of a picture nothing can read.
#include "render/picture_decoder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <tuple>

#include "tests/support/temp_folder.h"

namespace orvex {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

Bytes file_bytes(const fs::path& path) {
    const std::string bytes = test::read_file(path);
    return Bytes(bytes.begin(), bytes.end());
}

std::optional<RgbImage> decode(const Bytes& bytes, RecordingMessageSink& sink, int max_side = 0) {
    PictureLimits limits;
    limits.max_side = max_side;
    return decode_picture(bytes.data(), bytes.size(), "x.pic", sink, limits);
}

// Pixel (x, y) counted from the top left.
std::tuple<int, int, int> at(const RgbImage& img, int x, int y) {
    const uint8_t* p = &img.pixels[(static_cast<std::size_t>(img.height - 1 - y) * img.width + x) * 3];
    return {p[0], p[1], p[2]};
}

TEST(PictureDecoder, LongHeaderBmpsShowAsTheirShortTwins) {
    const fs::path suite = fs::path(ORVEX_TEST_DATA_DIR) / "bmpsuite";
    RecordingMessageSink sink;
    const auto pal8 = decode(file_bytes(suite / "g/pal8.bmp"), sink);
    ASSERT_TRUE(pal8);
    for (const char* name : {"g/pal8v4.bmp", "g/pal8v5.bmp", "q/pal8os2v2.bmp"}) {
        const auto image = decode(file_bytes(suite / name), sink);
        ASSERT_TRUE(image) << name;
        EXPECT_EQ(image->pixels, pal8->pixels) << name;
    }
    const auto rgb24 = decode(file_bytes(suite / "g/rgb24.bmp"), sink);
    const auto h52 = decode(file_bytes(suite / "q/rgb32h52.bmp"), sink);
    ASSERT_TRUE(rgb24 && h52);
    EXPECT_EQ(h52->pixels, rgb24->pixels);
    EXPECT_TRUE(sink.messages.empty());
}

TEST(PictureDecoder, NothingReadsItGivesOneMessageNamingTheFile) {
    const Bytes png_start = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    for (auto [bytes, text] : {std::pair{Bytes{'j', 'u', 'n', 'k', '!'}, "x.pic: Unknown DIB file format."},
                               {Bytes{0xFF, 0xD8, 0xFF, 0xE0, 0, 3, 9}, "x.pic: Image file conversion error."},
                               {png_start, "x.pic: Image file conversion error."},
                               {Bytes{}, "Failed to open DIB file x.pic.\n"}}) {
        RecordingMessageSink sink;
        EXPECT_FALSE(decode(bytes, sink));
        ASSERT_EQ(sink.messages.size(), 1u);
        EXPECT_EQ(sink.messages[0].caption, "Error");
        EXPECT_EQ(sink.messages[0].text, text);
    }
}

// A large plain BMP is read row by row into the reduction: the same pixels as
// the BMP reader's picture reduced, rows stored either way.
TEST(PictureDecoder, StreamedBmpEqualsTheReaderReduced) {
    const test::TempFolder folder;
    const fs::path file = folder / "streamed.bmp";
    for (int32_t height : {23, -23}) {
        const int32_t w = 37, rows = 23, stride = (w * 3 + 3) / 4 * 4;
        Bytes bmp = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0};
        for (int32_t v : {w, height})
            bmp.insert(bmp.end(), {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)});
        bmp.insert(bmp.end(), {1, 0, 24, 0});
        bmp.resize(54 + static_cast<std::size_t>(stride * rows));
        for (std::size_t k = 54; k < bmp.size(); ++k) bmp[k] = static_cast<uint8_t>(k * 37 % 251);
        test::write_file(file, std::string(bmp.begin(), bmp.end()));
        RecordingMessageSink sink;
        PictureLimits limits;
        limits.max_side = 8;
        const auto streamed = LoadPicture(file, sink, limits);
        const auto whole = auxDIBImageLoadA(bmp.data(), bmp.size(), "x", sink);
        ASSERT_TRUE(streamed && whole);
        EXPECT_EQ(streamed->pixels, reduce_image(*whole, 8).pixels) << height;
    }
}

// Counts what a decoder reads of a file.
struct CountingInput final : PictureInput {
    FileInput file;
    uint64_t bytes_read = 0;
    explicit CountingInput(const fs::path& path) : file(path) {}
    uint64_t size() const override { return file.size(); }
    std::size_t read(uint8_t* out, std::size_t n) override {
        const std::size_t got = file.read(out, n);
        bytes_read += got;
        return got;
    }
    bool seek(uint64_t at) override { return file.seek(at); }
};

// Files of 2 GB (sparse) that are no picture, or whose header asks for more
// pixels than the limit, are refused having read their first bytes only.
TEST(PictureDecoder, HugeFilesAreRefusedAtTheirHeader) {
    const test::TempFolder folder;
    const Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I',  'H',  'D',  'R', 0,
                       1,    0,   0,   0,   1,    0,    0,    8,    2, 0, 0, 0,  0xE3, 0xE6, 0xA7, 0xB4};
    Bytes bmp = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 0, 0x40, 0, 0, 0, 0x40, 0, 0, 1, 0, 24, 0};
    bmp.resize(54);
    for (auto [start, text] : {std::pair{Bytes{}, "huge.png: Unknown DIB file format."},
                               {png, "huge.png: Out of memory."},
                               {bmp, "huge.png: Out of memory."}}) {
        const fs::path file = folder / "huge.png";
        test::write_file(file, std::string(start.begin(), start.end()));
        fs::resize_file(file, uint64_t{2} << 30);
        {
            CountingInput input(file);
            RecordingMessageSink sink;
            EXPECT_FALSE(decode_picture(input, "huge.png", sink));
            ASSERT_EQ(sink.messages.size(), 1u);
            EXPECT_EQ(sink.messages[0].text, text);
            EXPECT_LE(input.bytes_read, 70000u) << text;
        }
        fs::remove(file);  // closed first, for Windows
    }
}

TEST(PictureReduce, BoxMeansWithinTheLargestSide) {
    RgbImage img;
    img.width = 4;
    img.height = 2;
    img.pixels = {0, 0, 0, 100, 0, 0, 10, 10, 10, 30, 30, 30, 200, 0, 0, 0, 0, 0, 250, 250, 250, 250, 250, 250};
    const RgbImage small = reduce_image(img, 2);
    ASSERT_EQ(std::pair(small.width, small.height), std::pair(2, 2));
    // Bottom row: (0 + 100) / 2 and (10 + 30) / 2 in red; top row: 100, 250.
    EXPECT_EQ(small.pixels, (Bytes{50, 0, 0, 20, 20, 20, 100, 0, 0, 250, 250, 250}));
    EXPECT_EQ(reduce_image(img, 0).pixels, img.pixels);
    // A white 4200 x 4200 picture into one pixel: its sums pass 32 bits.
    const std::vector<uint8_t> white(4200 * 3, 255);
    BoxReducer one(4200, 4200, 1, 1);
    for (int y = 0; y < 4200; ++y) one.add_row(y, white.data());
    EXPECT_EQ(one.finish().pixels, (Bytes{255, 255, 255}));
    for (auto [w, h, gl, side] : {std::tuple{800, 600, 16384, 1024},
                                  {1920, 1080, 16384, 2048},
                                  {1024, 768, 16384, 1024},
                                  {3840, 2160, 2048, 2048},
                                  {0, 0, 0, 1}})
        EXPECT_EQ(texture_side_for_window(w, h, gl), side) << w << "x" << h;
}

// A 3 x 2 picture, numbered from the top left; orientation 6 shows its left
// column as the top row, read from the bottom up.
TEST(PictureReduce, OrientationTurnsUprightAndEachTurnHasItsInverse) {
    RgbImage img;
    img.width = 3;
    img.height = 2;
    for (int v : {4, 5, 6, 1, 2, 3}) img.pixels.insert(img.pixels.end(), 3, static_cast<uint8_t>(v));
    const RgbImage six = apply_orientation(img, 6);
    ASSERT_EQ(std::pair(six.width, six.height), std::pair(2, 3));
    EXPECT_EQ(at(six, 0, 0), std::tuple(4, 4, 4));
    EXPECT_EQ(at(six, 1, 0), std::tuple(1, 1, 1));
    EXPECT_EQ(at(six, 1, 2), std::tuple(3, 3, 3));
    for (auto [turn, back] : {std::pair{2, 2}, {3, 3}, {4, 4}, {5, 5}, {6, 8}, {7, 7}, {8, 6}, {1, 1}, {9, 1}})
        EXPECT_EQ(apply_orientation(apply_orientation(img, turn), back).pixels, img.pixels) << turn;

    Bytes exif = {'E', 'x', 'i',  'f',  0, 0, 'M', 'M', 0, 42, 0, 0, 0, 8,
                  0,   1,   0x01, 0x12, 0, 3, 0,   0,   0, 1,  0, 6, 0, 0};
    EXPECT_EQ(exif_orientation(exif.data(), exif.size()), 6);
    EXPECT_EQ(exif_orientation(exif.data(), exif.size() - 4), 1);  // the entry cut short
}

// The generated pictures: four quarters, red top left, green top right, blue
// bottom left, yellow bottom right, whatever the format.
TEST(PictureDecoder, EveryFormatShowsTheQuartersUpright) {
    const fs::path dir = ORVEX_TEST_PICTURES_DIR;
    for (const char* name : {"rgb8.png", "rgb16.png", "palette.png", "alpha.png", "v5.bmp", "v4rle.bmp", "base.jpg",
                             "progressive.jpg", "exif6.jpg", "cmyk.jpg"}) {
        SCOPED_TRACE(name);
        RecordingMessageSink sink;
        const auto image = decode(file_bytes(dir / name), sink);
        ASSERT_TRUE(image);
        EXPECT_TRUE(sink.messages.empty());
        ASSERT_EQ(std::pair(image->width, image->height), std::pair(64, 48));
        const int scale = std::string(name) == "alpha.png" ? 2 : 1;
        const int tolerance = std::string(name).find(".jpg") != std::string::npos ? 24 : 1;
        auto near = [&](int x, int y, int r, int g, int b) {
            auto [pr, pg, pb] = at(*image, x, y);
            return std::abs(pr * scale - r) <= tolerance && std::abs(pg * scale - g) <= tolerance &&
                   std::abs(pb * scale - b) <= tolerance;
        };
        EXPECT_TRUE(near(8, 8, 220, 30, 30));
        EXPECT_TRUE(near(56, 8, 30, 200, 30));
        EXPECT_TRUE(near(8, 40, 30, 30, 220));
        EXPECT_TRUE(near(56, 40, 220, 220, 30));
        // Reduced while decoded from the file, still upright.
        PictureLimits limits;
        limits.max_side = 16;
        const auto small = LoadPicture(dir / name, sink, limits);
        ASSERT_TRUE(small);
        EXPECT_EQ(std::pair(small->width, small->height), std::pair(16, 16));
        auto [r, g, b] = at(*small, 1, 1);
        EXPECT_TRUE(r > g && r > b) << r << " " << g << " " << b;
    }
}
}  // namespace
}  // namespace orvex
