// The picture texture: set-up load, the picture step of a seeding, what the
// picture looks like on the field, and texture objects over long cycling.
#include "render/gl11/picture_texture.h"

#include <gtest/gtest.h>

#include <set>

#include "render/gl11/gl.h"
#include "seed/field_setup.h"
#include "tests/support/gl_test_support.h"

namespace orvex {
namespace {

using test::colour_near;
using test::Drawn;
using test::scene_settings;
using test::TempFolder;
using test::write_bmp;

constexpr int kW = 800, kH = 600;

// A picture of uniform blocks; pixel(x, y) counts y from the bottom row.
RgbImage blocks(int width, int height, std::uint8_t (*colour)(int x, int y, int channel)) {
    RgbImage img;
    img.width = width;
    img.height = height;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c) img.pixels.push_back(colour(x, y, c));
    return img;
}

std::uint8_t sixteen(int x, int y, int c) {
    const int k = y * 4 + x;
    return static_cast<std::uint8_t>(c == 0 ? k * 16 : c == 1 ? 255 - k * 12 : (k % 3) * 100);
}

Settings picture_settings(int style, int main_color, int lights, const std::string& name) {
    Settings s = scene_settings(style, main_color, kFamilyLife, lights);
    s.TextureFlag = 1;
    s.picture_name = name;
    return s;
}

// Lighting off: the texel replaces the cell colour, whatever the scheme; the
// picture's first row lies along the bottom of the field.
TEST(PictureTexture, ShowsUnchangedWithLightingOff) {
    TempFolder folder("decal");
    const RgbImage picture = blocks(4, 4, sixteen);
    write_bmp(folder.path / "p.bmp", picture);
    for (int main : {kColorRed, kColorBlue}) {
        const Settings s = picture_settings(kStyleQuads, main, 0, "p.bmp");
        Drawn d(s, kW, kH, {}, folder.path);
        ASSERT_EQ(d.pictures->TextureFlag(), 1);
        const OsMesaSurface& img = d.frame(test::full_field(s));
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
        for (int by = 0; by < 4; ++by)
            for (int bx = 0; bx < 4; ++bx) {
                const auto p = test::window_of((bx + 0.5) / 4, (by + 0.5) / 4, kW, kH);
                if (p.y < 0 || p.y >= kH) continue;
                const std::uint8_t* texel = &picture.pixels[(by * 4 + bx) * 3];
                EXPECT_TRUE(
                    colour_near(img.pixel(int(p.x), int(p.y)), texel[0] / 255.0, texel[1] / 255.0, texel[2] / 255.0, 3))
                    << bx << "," << by;
            }
    }
}

// Rows of 1 or 2 pixels are 3 or 6 bytes, not a multiple of 4: the texture must
// still take the rows as they are packed, bottom row red, top row cyan.
TEST(PictureTexture, TakesRowsAsPacked) {
    const Settings s = scene_settings(kStyleQuads);
    Drawn d(s);
    PictureTexture& pictures = *d.pictures;
    for (int width : {1, 2}) {
        SCOPED_TRACE(width);
        const RgbImage rows =
            blocks(width, 2, [](int, int y, int c) -> std::uint8_t { return (y == 0) == (c == 0) ? 255 : 0; });
        ASSERT_EQ(pictures.load_image(rows), 1);
        glBindTexture(GL_TEXTURE_2D, pictures.texture());
        GLint w = 0, h = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
        ASSERT_EQ(w, width);
        ASSERT_EQ(h, 2);
        std::vector<std::uint8_t> texels(static_cast<std::size_t>(w) * h * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
        EXPECT_EQ(texels, rows.pixels);

        GLint wrap = 0, min_filter = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrap);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &min_filter);
        EXPECT_EQ(wrap, GL_CLAMP);
        EXPECT_EQ(min_filter, GL_LINEAR_MIPMAP_NEAREST);
    }
    EXPECT_EQ(pictures.load_image(RgbImage{}), 0);
}

TEST(PictureTexture, LitPictureChangesAsTheLightsMove) {
    TempFolder folder("lit");
    write_bmp(folder.path / "p.bmp", blocks(4, 4, sixteen));
    const Settings s = picture_settings(kStyleTriangles, kColorGreen, 2, "p.bmp");
    SceneServices services;
    services.clock = [] { return std::int64_t{1700000000}; };
    Drawn d(s, 400, 300, std::move(services), folder.path);
    const Automaton field = test::full_field(s);
    const auto first = d.frame(field).rgb_top_down();
    for (int k = 0; k < 20; ++k) d.frame(field);
    EXPECT_NE(first, d.surface->rgb_top_down());
    GLint mode = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    EXPECT_EQ(mode, GL_MODULATE);
}

TEST(PictureTexture, FailedLoadsTurnPicturesOff) {
    TempFolder folder("fail");
    write_bmp(folder.path / "a.bmp", blocks(4, 4, sixteen));
    std::ofstream(folder.path / "b.bmp") << "not a picture";
    {
        // Named picture missing: off at set-up, cells drawn in their colours.
        const Settings s = picture_settings(kStyleQuads, kColorRed, 0, "missing.bmp");
        Drawn d(s, kW, kH, {}, folder.path);
        EXPECT_EQ(d.pictures->TextureFlag(), 0);
        EXPECT_EQ(d.pictures->texture(), 0u);
        Automaton field(field_setup(s));
        field.set_cell(50, 50, 1);
        const auto p = test::cell_centre(50, 50, 100, kW, kH);
        EXPECT_TRUE(colour_near(d.frame(field).pixel(int(p.x), int(p.y)), 0.9, 0.325, 0.325));
    }
    {
        // Cycling onto a damaged file: the reader's message, then pictures off.
        Settings s = picture_settings(kStyleQuads, kColorRed, 0, "a.bmp");
        s.Texture_Renew = 1;
        Drawn d(s, kW, kH, {}, folder.path);
        const auto& messages = d.messages;
        PictureTexture& pictures = *d.pictures;
        pictures.list_pictures();
        ASSERT_EQ(pictures.cycler().count(), 2);
        for (int k = 0; k < 2 && pictures.TextureFlag(); ++k) pictures.picture_step();
        EXPECT_EQ(pictures.TextureFlag(), 0);
        EXPECT_EQ(messages.messages.size(), 1u);
        pictures.picture_step();
        EXPECT_EQ(messages.messages.size(), 1u);  // no more loads once off
    }
}

// Hours of cycling: every seeding loads a picture, yet the texture objects
// alive stay one and the names stay few.
TEST(PictureTexture, TenThousandSeedingsHoldOneTexture) {
    TempFolder folder("soak");
    for (const char* name : {"a.bmp", "b.bmp", "c.bmp"}) write_bmp(folder.path / name, blocks(4, 4, sixteen));
    Settings s = picture_settings(kStyleQuads, kColorRed, 0, "b.bmp");
    s.Texture_Renew = 1;
    Drawn d(s, 64, 64, {}, folder.path);
    PictureTexture& pictures = *d.pictures;
    pictures.list_pictures();
    ASSERT_EQ(pictures.Texture_Renew(), 1);

    std::set<unsigned> names;
    std::set<std::string> shown;
    unsigned highest = 0;
    for (int k = 0; k < 10000; ++k) {
        pictures.picture_step();
        ASSERT_EQ(pictures.TextureFlag(), 1);
        names.insert(pictures.texture());
        shown.insert(pictures.picture_name());
        highest = std::max(highest, pictures.texture());
    }
    EXPECT_EQ(shown.size(), 3u);
    EXPECT_EQ(names.size(), 1u);
    int alive = 0;
    for (unsigned name = 1; name <= highest; ++name) alive += glIsTexture(name) ? 1 : 0;
    EXPECT_EQ(alive, 1);
}

}  // namespace
}  // namespace orvex
