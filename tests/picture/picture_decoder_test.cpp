// Pictures of every format: the larger BMP headers, the platform's JPEG and
// PNG decoders, the reduction while decoding, upright EXIF pictures and the
// one message of a picture nothing can read.
#include "picture/picture_decoder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <tuple>

#include "tests/support/temp_folder.h"

#if defined(__SANITIZE_ADDRESS__)
#include <atomic>
// The sanitizer's allocation hooks (GCC ships no header for them).
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void*, std::size_t),
                                                         void (*)(const volatile void*));
#define ORVEX_TRACKS_ALLOCATIONS 1
#endif

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
    // A whole 1 x 1 GIF: a format the platform could decode (WIC does), and
    // which is not one of ours.
    const Bytes gif = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 0xFF, 0,   0, 0, 0,  0,
                       ',', 0,   0,   0,   0,   0,   0, 1, 0, 1, 0,    0, 2, 2,    'D', 1, 0, ';'};
    for (auto [bytes, text] : {std::pair{Bytes{'j', 'u', 'n', 'k', '!'}, "x.pic: Unknown DIB file format."},
                               {gif, "x.pic: Unknown DIB file format."},
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

// RLE BMPs are unpacked a row at a time as they are read: the reader's picture
// reduced, or the reader's message, for clean files, cut ones, moves that skip
// pixels and damaged streams.
TEST(PictureDecoder, StreamedRleEqualsTheReaderReduced) {
    const fs::path suite = fs::path(ORVEX_TEST_DATA_DIR) / "bmpsuite";
    std::vector<std::string> names = {"g/pal4rle.bmp",    "g/pal8rle.bmp",     "q/pal4rlecut.bmp", "q/pal4rletrns.bmp",
                                      "q/pal8rlecut.bmp", "q/pal8rletrns.bmp", "b/badrle.bmp",     "b/badrlebis.bmp",
                                      "b/badrleter.bmp",  "b/badrle4.bmp",     "b/badrle4bis.bmp", "b/badrle4ter.bmp"};
#ifndef _WIN32
    names.push_back("b/rletopdown.bmp");  // refused here; WIC reads it
#endif
    for (const std::string& name : names)
        for (int max_side : {0, 13}) {
            SCOPED_TRACE(name + " " + std::to_string(max_side));
            const Bytes bytes = file_bytes(suite / name);
            RecordingMessageSink read, streamed;
            const auto whole = auxDIBImageLoadA(bytes.data(), bytes.size(), "x.pic", read);
            const auto image = decode(bytes, streamed, max_side);
            ASSERT_EQ(bool(image), bool(whole));
            if (whole) {
                EXPECT_EQ(image->pixels, reduce_image(*whole, max_side).pixels);
            } else {
                ASSERT_EQ(streamed.messages.size(), 1u);
                EXPECT_EQ(streamed.messages[0].text, "x.pic: " + read.messages.at(0).text);
            }
        }
}

// An interlaced PNG's passes go into the reduction where their pixels lie:
// the same picture as its plain twin, at full size and reduced.
TEST(PictureDecoder, InterlacedPngsEqualTheirPlainTwins) {
    const fs::path dir = ORVEX_TEST_PICTURES_DIR;
    for (const char* name : {"noise37x29", "noise5x3"})
        for (int max_side : {0, 16, 5, 1}) {
            SCOPED_TRACE(std::string(name) + " " + std::to_string(max_side));
            RecordingMessageSink sink;
            const auto plain = decode(file_bytes(dir / (std::string(name) + ".png")), sink, max_side);
            const auto adam7 = decode(file_bytes(dir / (std::string(name) + "-adam7.png")), sink, max_side);
            ASSERT_TRUE(plain && adam7);
            EXPECT_EQ(std::pair(adam7->width, adam7->height), std::pair(plain->width, plain->height));
            EXPECT_EQ(adam7->pixels, plain->pixels);
            EXPECT_TRUE(sink.messages.empty());
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

#ifdef ORVEX_TRACKS_ALLOCATIONS
std::atomic<std::size_t> largest_allocation{0};
void track_malloc(const volatile void*, std::size_t size) {
    std::size_t seen = largest_allocation.load();
    while (size > seen && !largest_allocation.compare_exchange_weak(seen, size)) {
    }
}
void track_free(const volatile void*) {}
#endif

Bytes le(std::initializer_list<std::pair<uint32_t, int>> fields) {
    Bytes b;
    for (auto [value, bytes] : fields)
        for (int k = 0; k < bytes; ++k) b.push_back(static_cast<uint8_t>(k < 4 ? value >> (8 * k) : 0));
    return b;
}

// A "BM" file with a 40-byte info header; extra bytes follow it.
Bytes bmp40(int32_t width, int32_t height, uint16_t bits, uint32_t compression, uint32_t colors_used, uint32_t offset,
            Bytes extra = {}) {
    Bytes b = le({{'B' | 'M' << 8, 2},
                  {0, 4},
                  {0, 4},
                  {offset, 4},
                  {40, 4},
                  {static_cast<uint32_t>(width), 4},
                  {static_cast<uint32_t>(height), 4},
                  {1, 2},
                  {bits, 2},
                  {compression, 4},
                  {0, 4},
                  {0, 8},
                  {colors_used, 4},
                  {0, 4}});
    b.insert(b.end(), extra.begin(), extra.end());
    return b;
}

// Files of a few bytes whose headers promise huge pictures, as found by
// fuzzing and review: each gives its one message, or a picture, without a
// large allocation (as the texture of a 1024-pixel window would ask).
TEST(PictureDecoder, SmallFilesThatPromiseHugePicturesCostLittle) {
#ifdef ORVEX_TRACKS_ALLOCATIONS
    static const int hooked = __sanitizer_install_malloc_and_free_hooks(track_malloc, track_free);
    (void)hooked;
#endif
    const Bytes png_overflow = {0x89, 'P',  'N',  'G',  '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R', 0xDA,
                                0xDB, 0x5F, 0xDA, 0xDA, 0xDB, 0x5F, 0xDA, 8,    2, 0, 0, 0,  0,   0,   0,   0};
    const Bytes jpeg_65500 = {0xFF, 0xD8, 0xFF, 0xC0, 0, 17,   8,    0xFF, 0xDC, 0xFF, 0xDC, 3,  1,
                              0x22, 0,    2,    0x11, 0, 3,    0x11, 0,    0xFF, 0xDA, 0,    12, 3,
                              1,    0,    2,    0x11, 3, 0x11, 0,    0x3F, 0,    0xFF, 0xD9};
    const Bytes rle_eob = {0, 0, 0, 0, 255, 255, 255, 0, 0, 1};  // two palette entries, then the end
#ifdef _WIN32
    // WIC gives no size for a frame without tables, and Wine's refuses the cut
    // progressive file as damaged: refused all the same, with the other message.
    const char* const kJpegRefused = "Image file conversion error.";
#else
    const char* const kJpegRefused = "Out of memory.";
#endif
    struct Case {
        const char* what;
        Bytes file;
        const char* message;  // null: a picture
    };
    const Case cases[] = {
        {"65535 bits, 131072 x 1", bmp40(131072, 1, 65535, 0, 0, 54), "Image file conversion error."},
        {"65535 bits, 440000 x 1, a palette's worth", bmp40(440000, 1, 65535, 0, 0, 54, Bytes(122, 7)),
         "Image file conversion error."},
        {"0 bits", bmp40(1000, 1000, 0, 0, 0, 54, Bytes(64)), "Image file conversion error."},
        {"2^30 x 1, 24 bits", bmp40(1 << 30, 1, 24, 0, 0, 54, Bytes(64)), "Out of memory."},
        {"8192 x 8192, 24 bits, 64 bytes of rows", bmp40(8192, 8192, 24, 0, 0, 54, Bytes(64)),
         "Image file conversion error."},
        {"65536 x 1024 at 1 bit, rows missing", bmp40(65536, 1024, 1, 0, 2, 62, Bytes(8 + 8192)),
         "Image file conversion error."},
        {"pixels past the end", bmp40(64, 64, 24, 0, 0, 1u << 30, Bytes(64)), "Image file conversion error."},
        {"2^31 palette entries", bmp40(64, 64, 8, 0, 1u << 31, 54, Bytes(64)), "Image file conversion error."},
        {"RLE, 60000 x 60000", bmp40(60000, 60000, 8, 1, 2, 62, rle_eob), "Out of memory."},
        {"RLE, 64M x 1, ends at once", bmp40(1 << 26, 1, 8, 1, 2, 62, rle_eob), nullptr},
        {"RLE, 8192 x 8192, ends at once", bmp40(8192, 8192, 8, 1, 2, 62, rle_eob), nullptr},
        {"PNG, 3671775962 squared", png_overflow, "Out of memory."},
        {"JPEG, 65500 squared", jpeg_65500, kJpegRefused},
    };
    std::vector<Case> all(std::begin(cases), std::end(cases));
    all.push_back({"progressive JPEG, 8000 squared, 64 KB of it",
                   file_bytes(fs::path(ORVEX_TEST_PICTURES_DIR) / "huge_progressive.jpg"), kJpegRefused});
    for (const Case& c : all) {
        SCOPED_TRACE(c.what);
#ifdef ORVEX_TRACKS_ALLOCATIONS
        largest_allocation = 0;
#endif
        RecordingMessageSink sink;
        const auto image = decode(c.file, sink, 1024);
        if (c.message) {
            EXPECT_FALSE(image);
            ASSERT_EQ(sink.messages.size(), 1u);
            EXPECT_EQ(sink.messages[0].text, std::string("x.pic: ") + c.message);
        } else {
            ASSERT_TRUE(image);
            EXPECT_LE(std::max(image->width, image->height), 1024);
            EXPECT_EQ(std::get<0>(at(*image, 0, image->height - 1)), 0);
        }
#ifdef ORVEX_TRACKS_ALLOCATIONS
        EXPECT_LT(largest_allocation.load(), std::size_t{8} << 20);
#endif
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
    BoxReducer scattered(4200, 4200, 1, 1);  // pixels where they lie, odd columns first
    for (int y = 0; y < 4200; ++y) scattered.add_pixels(y, 1, 2, 2100, white.data());
    for (int y = 0; y < 4200; ++y) scattered.add_pixels(y, 0, 2, 2100, white.data());
    EXPECT_EQ(scattered.finish().pixels, (Bytes{255, 255, 255}));
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
