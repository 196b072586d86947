// The sample pictures the build makes and the settings file the installer puts
// beside them: every picture loads through our reader, and the settings file is
// exactly what the configuration dialog would write, naming a shipped picture.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <tuple>

#include "config/settings_file.h"
#include "picture/bmp_reader.h"

namespace orvex {
namespace {

namespace fs = std::filesystem;

std::string text_of(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(SamplePictures, EveryPictureLoadsAndIsNoPlainColour) {
    std::set<int> depths;
    int pictures = 0;
    for (const auto& entry : fs::directory_iterator(fs::path(ORVEX_PICTURES_DIR))) {
        if (entry.path().extension() != ".bmp") continue;
        ++pictures;
        SCOPED_TRACE(entry.path().filename().string());
        depths.insert(static_cast<unsigned char>(text_of(entry.path()).at(28)));  // bits per pixel
        RecordingMessageSink sink;
        const std::optional<RgbImage> image = LoadBMP(entry.path(), sink);
        ASSERT_TRUE(image.has_value() && sink.messages.empty());
        ASSERT_EQ(image->pixels.size(), 256u * 256u * 3u);
        // Something to see on the cells: many colours, neither too dark nor washed out.
        std::set<std::tuple<int, int, int>> colours;
        long long sum = 0;
        for (std::size_t k = 0; k < image->pixels.size(); k += 3) {
            colours.emplace(image->pixels[k], image->pixels[k + 1], image->pixels[k + 2]);
            sum += image->pixels[k] + image->pixels[k + 1] + image->pixels[k + 2];
        }
        EXPECT_GT(colours.size(), 40u);
        const double mean = static_cast<double>(sum) / static_cast<double>(image->pixels.size());
        EXPECT_GT(mean, 50.0);
        EXPECT_LT(mean, 220.0);
    }
    EXPECT_GE(pictures, 5);
    EXPECT_EQ(depths, (std::set<int>{8, 24}));
}

TEST(SamplePictures, InstalledSettingsFileIsTheDialogsOwnFormatAndNamesAShippedPicture) {
    const std::string text = text_of(fs::path(ORVEX_SOURCE_DIR) / "data" / kSettingsFileName);
    DialogSettings d = parse_dialog_settings(text);
    normalize_dialog_settings(d);
    EXPECT_EQ(format_settings_file(d), text);  // 19 CR LF lines, every value in range
    EXPECT_EQ(d.iTexture, 1);
    EXPECT_TRUE(fs::is_regular_file(fs::path(ORVEX_PICTURES_DIR) / (d.picture_name + ".bmp"))) << d.picture_name;
}

}  // namespace
}  // namespace orvex
