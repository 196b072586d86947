// The OpenGL ES 3.0 renderer against the fixed-function one: the same
// settings, seed and light motion drawn by both at 640 x 480, after 0 and 25
// steps, must give nearly the same pixels; the frame-rate text, from one glyph
// source, lands on the same pixels. And a shader that does not compile is
// reported with the driver's log, and nothing is drawn.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "picture/picture_decoder.h"
#include "render/gl11/gl.h"
#include "render/gl11/text_overlay.h"
#include "render/gles3/egl_surface.h"
#include "render/gles3/gles3_renderer.h"
#include "seed/simulation.h"
#include "tests/support/gl_test_support.h"

namespace orvex::test {
namespace {

constexpr int kWidth = 640, kHeight = 480;
constexpr std::int64_t kNow = 1700000000;

EglSurface& egl() {
    static EglSurface* surface = new EglSurface(kWidth, kHeight);  // lives as long as the process
    if (!surface->ok()) throw std::runtime_error(surface->error());
    return *surface;
}

struct Difference {
    double mean = 0.0;  // mean absolute difference per channel
    double far = 0.0;   // share of pixels with a channel more than 8 apart
};

Difference compare(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    Difference d;
    std::size_t far = 0;
    double sum = 0.0;
    for (std::size_t p = 0; p + 2 < a.size(); p += 3) {
        int most = 0;
        for (int c = 0; c < 3; ++c) {
            const int diff = std::abs(int(a[p + c]) - int(b[p + c]));
            sum += diff;
            most = std::max(most, diff);
        }
        far += most > 8;
    }
    d.mean = sum / static_cast<double>(a.size());
    d.far = static_cast<double>(far) / static_cast<double>(a.size() / 3);
    return d;
}

struct Case {
    int style, family, lights, picture, one_color, wrap, main_color, size;
};

TEST(Gles3Renderer, DrawsTheFixedFunctionFrames) {
    TempFolder folder("gles3_compare");
    RgbImage picture;  // 300 x 200: smooth colour ramps and a few hard edges
    picture.width = 300, picture.height = 200;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            picture.pixels.insert(picture.pixels.end(),
                                  {static_cast<std::uint8_t>(x * 255 / 299), static_cast<std::uint8_t>(y * 255 / 199),
                                   static_cast<std::uint8_t>((x / 30 + y / 25) % 2 ? 230 : 40)});
    write_bmp(folder.path / "p.bmp", picture);

    const Case cases[] = {
        {kStylePoints, kFamilyLife, 0, 0, 0, 0, kColorBlue, 200},
        {kStyleTriangles, kFamilyLife, 1, 0, 0, 0, kColorBlue, 100},
        {kStyleLines, kFamilyLife, 3, 0, 0, 0, kColorRed, 150},
        {kStyleQuads, kFamilyLife, 0, 1, 0, 0, kColorBlue, 100},
        {kStylePoints, kFamilyGeneration, 3, 1, 0, 0, kColorGreen, 300},
        {kStyleTriangles, kFamilyGeneration, 0, 1, 0, 1, kColorBlue, 120},
        {kStyleLines, kFamilyGeneration, 1, 1, 0, 0, kColorBlue, 100},
        {kStyleQuads, kFamilyGeneration, 3, 0, 0, 1, kColorRed, 100},
        {kStylePoints, kFamilyLife, 1, 1, 1, 0, kColorBlue, 400},
        {kStyleTriangles, kFamilyLife, 3, 1, 0, 1, kColorGreen, 100},
        {kStyleLines, kFamilyLife, 0, 0, 1, 1, kColorBlue, 200},
        {kStyleQuads, kFamilyLife, 1, 0, 0, 0, kColorRed, 150},
        {kStylePoints, kFamilyModifiedGeneration, 0, 0, 0, 1, kColorGreen, 100},
        {kStyleTriangles, kFamilyGeneration, 2, 0, 1, 0, kColorRed, 100},
        {kStyleLines, kFamilyModifiedGeneration, 3, 1, 0, 1, kColorBlue, 100},
        {kStyleQuads, kFamilyGeneration, 1, 1, 1, 1, kColorGreen, 250},
        {kStyleTriangles, kFamilyLife, 2, 1, 0, 0, kColorBlue, 1000},
        {kStylePoints, kFamilyGeneration, 2, 0, 0, 0, kColorRed, 300},
        {kStylePoints, kFamilyLife, 3, 0, 0, 0, kColorGreen, 1000},  // lit pixel by pixel on a redraw
        {kStylePoints, kFamilyGeneration, 0, 0, 0, 1, kColorBlue, 1000},
    };
    Difference worst;
    for (const Case& c : cases) {
        Settings s;
        s.DrawStyle = c.style, s.Family = c.family, s.LightingNum = c.lights, s.TextureFlag = c.picture;
        s.OneColor = c.one_color, s.MatrixTr = c.wrap, s.MainColor = c.main_color, s.field_size = c.size;
        s.life_rule = c.family == kFamilyLife ? 0 : 2;
        s.picture_name = "p.bmp";
        normalize_first_stage(s);
        normalize_second_stage(s);
        const auto clock = [] { return kNow; };
        Simulation simulation(s, {}, clock);
        simulation.start();

        SceneServices scene_services;
        scene_services.clock = clock;
        Drawn fixed(s, kWidth, kHeight, std::move(scene_services), folder.path);
        ASSERT_EQ(fixed.pictures->TextureFlag(), c.picture);

        egl().make_current();
        RecordingMessageSink said;
        Gles3Services services;
        services.gl_procs = EglSurface::gl_proc;
        services.messages = &said;
        services.clock = clock;
        Gles3Renderer shaded(s, std::move(services));
        ASSERT_TRUE(shaded.setup()) << (said.messages.empty() ? "" : said.messages[0].text);
        if (c.picture) {
            PictureLimits limits;
            limits.max_side = shaded.max_texture_size();
            const auto image = LoadPicture(folder.path / "p.bmp", said, limits);
            ASSERT_TRUE(image && shaded.load_picture(*image));
        }
        shaded.resize(kWidth, kHeight);
        // Points also drawn every one, hidden or not: the same pixels.
        std::unique_ptr<Gles3Renderer> every;
        if (c.style == kStylePoints && !c.picture) {
            Gles3Services all;
            all.gl_procs = EglSurface::gl_proc;
            all.clock = clock;
            all.every_point = true;
            every = std::make_unique<Gles3Renderer>(s, std::move(all));
            ASSERT_TRUE(every->setup());
            every->resize(kWidth, kHeight);
        }

        for (int steps : {0, 25}) {
            for (int k = 0; k < steps; ++k) simulation.tick();
            // Drawn, then redrawn with the lights one frame on: a redraw may
            // take another way to the same pixels.
            for (const char* frame : {"drawn", "redrawn"}) {
                fixed.surface->resize(kWidth, kHeight);  // makes the OSMesa context current again
                const std::vector<std::uint8_t> want = fixed.frame(simulation.field()).rgb_top_down();
                egl().make_current();
                shaded.draw_frame(simulation.field());
                const std::vector<std::uint8_t> got = egl().rgb_top_down();
                const Difference d = compare(want, got);
                // (A lit redraw may take the light pass for the one and not
                // the other, which draws more cells.)
                if (every) every->draw_frame(simulation.field());
                if (every && (c.lights == 0 || std::string(frame) == "drawn")) {
                    EXPECT_TRUE(egl().rgb_top_down() == got) << "side " << c.size << " steps " << steps << frame;
                }
                std::printf(
                    "style %d family %d lights %d picture %d one colour %d wrap %d side %4d steps %2d %s: "
                    "mean %.4f, beyond 8: %.4f %%\n",
                    c.style, c.family, c.lights, c.picture, c.one_color, c.wrap, c.size, steps, frame, d.mean,
                    d.far * 100.0);
                EXPECT_LE(d.mean, 0.5) << "style " << c.style << " family " << c.family << " steps " << steps << frame;
                EXPECT_LE(d.far, 0.005) << "style " << c.style << " family " << c.family << " steps " << steps << frame;
                if (d.mean > worst.mean) worst.mean = d.mean;
                if (d.far > worst.far) worst.far = d.far;
            }
        }
        if (every) {  // in a window of another size, the surface's lower half, the points fall on other pixels
            std::vector<std::uint8_t> frames[2];
            for (Gles3Renderer* r : {&shaded, every.get()}) {
                std::vector<std::uint8_t>& frame = frames[r == &shaded];
                r->resize(kWidth, kHeight / 2);
                r->draw_frame(simulation.field());
                frame = egl().rgb_top_down();
                frame.erase(frame.begin(), frame.begin() + kWidth * 3 * (kHeight - kHeight / 2));
            }
            EXPECT_TRUE(frames[0] == frames[1]) << "side " << c.size << " resized";
            every->release();
        }
        EXPECT_TRUE(said.messages.empty());
        shaded.release();
        fixed.surface->resize(kWidth, kHeight);
    }
    std::printf("worst: mean %.4f, beyond 8: %.4f %%\n", worst.mean, worst.far * 100.0);
}

// A step hands over one word per drawn cell, or per segment for Lines, and
// a redraw nothing: a 100 x 100 field with a 3 x 3 block, a lone cell and a
// cell on the last row (drawn, but starting no segment).
TEST(Gles3Renderer, UploadsAWordPerCellOrSegmentOnceAStep) {
    egl().make_current();
    for (int style : {kStylePoints, kStyleTriangles, kStyleLines, kStyleQuads}) {
        const Settings s = scene_settings(style, kColorGreen, kFamilyGeneration, 2);
        Automaton field(field_setup(s));
        for (int i = 10; i < 13; ++i)
            for (int j = 20; j < 23; ++j) field.set_cell(i, j, 1 + (i + j) % 2);
        field.set_cell(50, 50, 1);
        field.set_cell(99, 40, 1);
        Gles3Services services;
        services.gl_procs = EglSurface::gl_proc;
        services.clock = [] { return kNow; };
        Gles3Renderer shaded(s, std::move(services));
        ASSERT_TRUE(shaded.setup());
        shaded.resize(kWidth, kHeight);
        shaded.draw_frame(field);
        // The block's segments: 6 across, 6 up, 4 up and right, 4 up and left.
        const std::size_t words = style == kStyleLines ? 20 : 11;
        EXPECT_EQ(shaded.bytes_last_frame(), 4 * words) << style;
        shaded.draw_frame(field);
        EXPECT_EQ(shaded.bytes_last_frame(), 0u) << style;
        field.set_cell(50, 50, 0);
        shaded.draw_frame(field);
        EXPECT_EQ(shaded.bytes_last_frame(), 4 * (words - (style == kStyleLines ? 0 : 1))) << style;
        EXPECT_TRUE(shaded.ok());
        shaded.release();
    }
}

// A font of 7 x 11 cells, 3 rows below the baseline, each glyph a pattern of
// its own, given as display lists and as bitmaps alike.
class PatternGlyphs final : public GlyphSource {
public:
    static constexpr int kW = 7, kH = 11, kDescent = 3;
    static bool set(int c, int x, int y_down) { return (x * 3 + y_down * 5 + c) % 7 < 3; }

    void make_glyph_lists(int first, int count, unsigned list_base) override {
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        for (int k = 0; k < count; ++k) {
            GLubyte rows[kH] = {};  // bottom row first
            for (int r = 0; r < kH; ++r)
                for (int x = 0; x < kW; ++x)
                    if (set(first + k, x, kH - 1 - r)) rows[r] = static_cast<GLubyte>(rows[r] | (0x80 >> x));
            glNewList(list_base + static_cast<unsigned>(k), GL_COMPILE);
            glBitmap(kW, kH, 0.0f, kDescent, kW, 0.0f, rows);
            glEndList();
        }
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    }
    bool glyph_bitmaps(int first, int count, GlyphBitmaps& out) override {
        out.width = kW, out.height = kH, out.descent = kDescent;
        out.pixels.clear();
        for (int k = 0; k < count; ++k)
            for (int y = 0; y < kH; ++y)
                for (int x = 0; x < kW; ++x) out.pixels.push_back(set(first + k, x, y) ? 1 : 0);
        return true;
    }
};

std::vector<bool> yellow(const std::vector<std::uint8_t>& rgb) {
    std::vector<bool> mask;
    for (std::size_t p = 0; p + 2 < rgb.size(); p += 3)
        mask.push_back(rgb[p] == 255 && rgb[p + 1] == 255 && rgb[p + 2] == 0);
    return mask;
}

// Characters the font lacks (below 32, above 127) draw nothing and don't advance the pen.
TEST(Gles3Renderer, WritesTheFrameRateTextWithTheSameGlyphs) {
    constexpr int kLine = 14;
    const char* const text = "FPS: 59.9 \x01\x80[~] AaZz";
    PatternGlyphs glyphs;
    Settings s = scene_settings(kStyleQuads);
    s.LightingNum = 1;
    const Automaton field = full_field(s);

    SceneServices scene_services;
    scene_services.glyphs = &glyphs;
    Drawn fixed(s, kWidth, kHeight, std::move(scene_services));
    fixed.scene->GLRenderScene(field);
    draw_text_overlay(fixed.scene->font(), kWidth, kHeight, kLine, text);
    fixed.surface->finish();
    const std::vector<bool> want = yellow(fixed.surface->rgb_top_down());

    egl().make_current();
    Gles3Services services;
    services.gl_procs = EglSurface::gl_proc;
    services.glyphs = &glyphs;
    Gles3Renderer shaded(s, std::move(services));
    ASSERT_TRUE(shaded.setup());
    shaded.resize(kWidth, kHeight);
    shaded.draw_frame(field);
    shaded.draw_text(kWidth, kHeight, kLine, text);
    const std::vector<bool> got = yellow(egl().rgb_top_down());
    EXPECT_GT(std::count(want.begin(), want.end(), true), 300);
    EXPECT_EQ(got, want);
    shaded.release();
}

// Unlit, redraws of an unchanged field copy the frame kept at the first of
// them: the same pixels though something else was drawn in between, and
// without the text drawn over it; a changed field or a new size draws anew.
TEST(Gles3Renderer, UnlitRedrawCopiesTheKeptFrame) {
    egl().make_current();
    PatternGlyphs glyphs;
    for (int style : {kStylePoints, kStyleQuads}) {
        const Settings s = scene_settings(style, kColorGreen, kFamilyGeneration, 0);
        Automaton field = full_field(s), other = full_field(s);
        other.set_cell(3, 4, 0);
        auto renderer = [&](int width, int height) {
            Gles3Services services;
            services.gl_procs = EglSurface::gl_proc;
            services.glyphs = &glyphs;
            auto r = std::make_unique<Gles3Renderer>(s, std::move(services));
            EXPECT_TRUE(r->setup());
            r->resize(width, height);
            return r;
        };
        auto fresh = [&](int width, int height, const Automaton& f) {
            auto r = renderer(width, height);
            r->draw_frame(f);
            std::vector<std::uint8_t> rgb = egl().rgb_top_down();
            r->release();
            return rgb;
        };
        auto kept = renderer(kWidth, kHeight);
        kept->draw_frame(field);
        kept->draw_frame(field);
        kept->draw_text(kWidth, kHeight, 14, "FPS: 12.5");
        const std::vector<std::uint8_t> with_text = egl().rgb_top_down();
        const std::vector<std::uint8_t> other_frame = fresh(kWidth, kHeight, other);
        kept->draw_frame(field);
        EXPECT_EQ(kept->bytes_last_frame(), 0u) << style;
        const std::vector<std::uint8_t> redrawn = egl().rgb_top_down();
        EXPECT_NE(redrawn, with_text) << style;
        EXPECT_NE(redrawn, other_frame) << style;
        EXPECT_EQ(redrawn, fresh(kWidth, kHeight, field)) << style;

        field.set_cell(3, 4, 0);
        kept->draw_frame(field);
        EXPECT_EQ(egl().rgb_top_down(), other_frame) << style;
        kept->resize(kWidth / 2, kHeight / 2);
        kept->draw_frame(field);
        kept->draw_frame(field);
        const std::vector<std::uint8_t> smaller = egl().rgb_top_down();
        EXPECT_EQ(smaller, fresh(kWidth / 2, kHeight / 2, field)) << style;
        EXPECT_TRUE(kept->ok());
        kept->release();
    }
}

TEST(Gles3Renderer, ShaderThatDoesNotCompileIsReportedAndDrawsNothing) {
    egl().make_current();
    egl().clear();
    RecordingMessageSink said;
    Gles3Services services;
    services.gl_procs = EglSurface::gl_proc;
    services.messages = &said;
    services.vertex_source = "#version 300 es\nvoid main() { gl_Position = undeclared; }\n";
    Settings s = scene_settings(kStyleQuads);
    Gles3Renderer shaded(s, std::move(services));
    EXPECT_FALSE(shaded.setup());
    ASSERT_EQ(said.messages.size(), 1u);
    EXPECT_EQ(said.messages[0].caption, kGles3ErrorCaption);
    EXPECT_NE(said.messages[0].text.find("cell shader does not compile:\n"), std::string::npos);
    EXPECT_NE(said.messages[0].text.find("undeclared"), std::string::npos) << said.messages[0].text;

    shaded.resize(kWidth, kHeight);
    shaded.draw_frame(full_field(s));
    const std::vector<std::uint8_t> frame = egl().rgb_top_down();
    EXPECT_TRUE(std::all_of(frame.begin(), frame.end(), [](std::uint8_t b) { return b == 0; }));
    EXPECT_EQ(said.messages.size(), 1u);
    shaded.release();
}

}  // namespace
}  // namespace orvex::test
