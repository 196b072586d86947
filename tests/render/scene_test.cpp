// Scene set-up, projection and frame, seen through OpenGL's state and the
// pixels of an OSMesa surface.
#include <gtest/gtest.h>

#include <array>

#include "render/gl11/gl.h"
#include "tests/support/gl_test_support.h"

namespace orvex {
namespace {

using test::Drawn;
using test::lit_pixels;
using test::scene_settings;

std::array<float, 4> light_param(GLenum light, GLenum what) {
    std::array<float, 4> v{};
    glGetLightfv(light, what, v.data());
    return v;
}

void expect4(const std::array<float, 4>& v, float a, float b, float c, float d) {
    EXPECT_FLOAT_EQ(v[0], a);
    EXPECT_FLOAT_EQ(v[1], b);
    EXPECT_FLOAT_EQ(v[2], c);
    EXPECT_FLOAT_EQ(v[3], d);
}

// First and last lit row of the middle column.
std::pair<int, int> lit_rows(const OsMesaSurface& img) {
    int first = -1, last = -1;
    for (int y = 0; y < img.height(); ++y)
        if (!test::is_black(img.pixel(img.width() / 2 + 2, y))) {
            if (first < 0) first = y;
            last = y;
        }
    return {first, last};
}

TEST(Scene, ProjectionFollowsTheAspectRatio) {
    const Settings s = scene_settings(kStyleQuads);
    const Automaton field = test::full_field(s);
    const double h = 0.5 / 100;
    struct Case {
        int w, h;
        float xf;
    };
    for (const Case c : {Case{800, 600, 3.473333f}, Case{1920, 1080, 4.631111f}, Case{1280, 1024, 3.25625f}}) {
        SCOPED_TRACE(c.w);
        Drawn d(s, c.w, c.h);
        EXPECT_NEAR(d.scene->xf(), c.xf, 1e-5);
        const auto [first, last] = lit_rows(d.frame(field));
        const double bottom = test::window_of(0.5, -h, c.w, c.h).y;
        const double top = test::window_of(0.5, 1.0 - h, c.w, c.h).y;
        EXPECT_NEAR(first, std::max(0.0, bottom), 1.5);
        EXPECT_NEAR(last, std::min(c.h - 1.0, top), 1.5);
        // The field always spans the full width (from the half cell left of the
        // first column to the half cell right of the last).
        int left = -1, right = -1;
        for (int x = 0; x < c.w; ++x)
            if (!test::is_black(d.surface->pixel(x, c.h / 2))) {
                if (left < 0) left = x;
                right = x;
            }
        EXPECT_NEAR(left, std::max(0.0, test::window_of(-h, 0.5, c.w, c.h).x), 1.5);
        EXPECT_NEAR(right, test::window_of(1.0 - h, 0.5, c.w, c.h).x, 1.5);
    }
    // 800 x 600: a thin band below, the top strip cut off. 1920 x 1080: wide
    // bands above and below. 1280 x 1024: the field overflows both edges.
    Drawn d4_3(s, 800, 600);
    auto rows = lit_rows(d4_3.frame(field));
    EXPECT_GT(rows.first, 0);
    EXPECT_EQ(rows.second, 599);
    Drawn wide(s, 1920, 1080);
    rows = lit_rows(wide.frame(field));
    // Model y 0..1 spans 0.736 of the half-height below the centre to 0.767 above;
    // the squares run from half a cell (4 pixels) below y 0 to half a cell below y 1.
    EXPECT_NEAR(rows.first, 1080 * (1 - 0.736) / 2 - 4.0, 2);
    EXPECT_NEAR(rows.second, 1080 * (1 + 0.767) / 2 - 4.0, 2);
    Drawn tall(s, 1280, 1024);
    rows = lit_rows(tall.frame(field));
    EXPECT_EQ(rows.first, 0);
    EXPECT_EQ(rows.second, 1023);
}

TEST(Scene, ZeroSizeCountsAsOnePixel) {
    const Settings s = scene_settings(kStyleQuads);
    Drawn d(s);
    d.scene->GLResize(800, 0);
    EXPECT_FLOAT_EQ(d.scene->xf(), 800 * 2.605f);
    d.scene->GLResize(0, 0);
    EXPECT_FLOAT_EQ(d.scene->xf(), 2.605f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(Scene, LightingOffLeavesTheLightsAlone) {
    Drawn d(scene_settings(kStyleTriangles));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    for (GLenum l : {GL_LIGHT0, GL_LIGHT1, GL_LIGHT2, GL_LIGHT3}) EXPECT_FALSE(glIsEnabled(l));
    EXPECT_TRUE(glIsEnabled(GL_COLOR_MATERIAL));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    // OpenGL's defaults for light 1, untouched.
    expect4(light_param(GL_LIGHT1, GL_AMBIENT), 0, 0, 0, 1);
    expect4(light_param(GL_LIGHT0, GL_POSITION), 0, 0, 1, 0);
}

TEST(Scene, LightTableByNumberOfLights) {
    {
        Drawn one(scene_settings(kStyleTriangles, kColorBlue, kFamilyLife, 1));
        EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
        EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
        EXPECT_FALSE(glIsEnabled(GL_LIGHT1));
        EXPECT_TRUE(glIsEnabled(GL_LIGHT3));
        EXPECT_FALSE(glIsEnabled(GL_COLOR_MATERIAL));
        expect4(light_param(GL_LIGHT0, GL_POSITION), 0, 0, 1.5f, 1);
        expect4(light_param(GL_LIGHT0, GL_AMBIENT), 0.55f, 0.55f, 0.55f, 0.1f);
        expect4(light_param(GL_LIGHT3, GL_AMBIENT), 0.31f, 0.31f, 0.31f, 0.1f);
        EXPECT_FLOAT_EQ(light_param(GL_LIGHT3, GL_SPOT_CUTOFF)[0], 180.0f);
        EXPECT_FLOAT_EQ(light_param(GL_LIGHT0, GL_SPOT_CUTOFF)[0], 36.0f);
        GLfloat specular[4];
        glGetMaterialfv(GL_BACK, GL_SPECULAR, specular);
        EXPECT_FLOAT_EQ(specular[1], 0.7f);
    }
    for (int main : {kColorRed, kColorGreen, kColorBlue}) {
        Drawn two(scene_settings(kStyleTriangles, main, kFamilyLife, 2));
        std::array<float, 4> c0{0.65f, 0.65f, 0.65f, 0.1f}, c1{0.45f, 0.45f, 0.45f, 0.1f};
        c0[main - kColorRed] = 0.35f;
        c1[main - kColorRed] = 0.75f;
        expect4(light_param(GL_LIGHT0, GL_AMBIENT), c0[0], c0[1], c0[2], c0[3]);
        expect4(light_param(GL_LIGHT1, GL_AMBIENT), c1[0], c1[1], c1[2], c1[3]);
        expect4(light_param(GL_LIGHT1, GL_POSITION), -0.5f, -0.5f, 1.5f, 1);
        EXPECT_FALSE(glIsEnabled(GL_LIGHT2));
    }
    Drawn three(scene_settings(kStyleTriangles, kColorRed, kFamilyLife, 3));
    expect4(light_param(GL_LIGHT2, GL_AMBIENT), 0.21f, 0.21f, 0.91f, 0.1f);
    expect4(light_param(GL_LIGHT0, GL_POSITION), 1.0f, 0.5f, 1.5f, 1);
    EXPECT_TRUE(glIsEnabled(GL_LIGHT2));
}

TEST(Scene, LitFramesChangeAsTheLightsMove) {
    const Settings s = scene_settings(kStyleQuads, kColorBlue, kFamilyLife, 3);
    const Automaton field = test::full_field(s);
    SceneServices services;
    services.clock = [] { return std::int64_t{1700000000}; };
    Drawn d(s, 400, 300, std::move(services));
    const std::vector<std::uint8_t> first = d.frame(field).rgb_top_down();
    const float x0 = d.scene->lights().light(0).pos[0];
    EXPECT_NE(x0, 1.0f);  // moved on the first frame
    std::array<float, 4> sent = light_param(GL_LIGHT0, GL_POSITION);
    EXPECT_FLOAT_EQ(sent[0], x0);

    for (int k = 0; k < 20; ++k) d.frame(field);
    const std::vector<std::uint8_t> later = d.surface->rgb_top_down();
    EXPECT_NE(first, later);
    EXPECT_GT(lit_pixels(*d.surface).count, 0);

    Drawn unlit(scene_settings(kStyleQuads), 400, 300);
    EXPECT_NE(unlit.frame(field).rgb_top_down(), later);
}

// Glyph lists that each draw a 2 x 2 block and move the raster position on by 3.
class BlockGlyphs final : public GlyphSource {
public:
    void make_glyph_lists(int first, int count, unsigned list_base) override {
        made = count;
        EXPECT_EQ(first, 32);
        static const GLubyte bits[2] = {0xC0, 0xC0};
        for (int k = 0; k < count; ++k) {
            glNewList(list_base + k, GL_COMPILE);
            glBitmap(2, 2, 0, 0, 3, 0, bits);
            glEndList();
        }
    }
    int made = 0;
};

TEST(Scene, PrintDrawsGlyphsAndCutsLongText) {
    BlockGlyphs glyphs;
    SceneServices services;
    services.glyphs = &glyphs;
    Drawn d(scene_settings(kStyleQuads), 800, 600, std::move(services));
    EXPECT_EQ(glyphs.made, 96);
    TextFont& font = d.scene->font();
    ASSERT_NE(font.base(), 0u);
    EXPECT_TRUE(glIsList(font.base() + 'A' - 32));

    auto raster_x = [] {
        GLfloat p[4];
        glGetFloatv(GL_CURRENT_RASTER_POSITION, p);
        return p[0];
    };
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, 800, 0, 600, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRasterPos2i(10, 10);
    font.glPrint("%d%s", 42, "!");
    EXPECT_FLOAT_EQ(raster_x(), 10 + 3 * 3);

    GLint list_base = -1;
    glGetIntegerv(GL_LIST_BASE, &list_base);
    EXPECT_EQ(list_base, 0);  // restored after printing
    font.glPrint(nullptr);
    EXPECT_FLOAT_EQ(raster_x(), 19);

    glRasterPos2i(0, 20);
    const std::string long_text(400, 'x');
    font.glPrint("%s", long_text.c_str());
    EXPECT_FLOAT_EQ(raster_x(), 255 * 3);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    const unsigned base = font.base();
    font.KillFont();
    EXPECT_FALSE(glIsList(base));
    font.KillFont();
}

}  // namespace
}  // namespace orvex
