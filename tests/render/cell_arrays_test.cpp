// Vertex arrays and kept geometry against immediate mode: the same busy field,
// drawn each way by otherwise identical scenes, must give the same pixels in
// every style, family, lighting and picture mode. Every scene first draws
// another field, then the field twice, so kept geometry is rebuilt once and
// then drawn again under moved lights. The lights move on a fixed clock, so all
// scenes place them alike.
#include <gtest/gtest.h>

#include <initializer_list>
#include <random>
#include <tuple>

#include "core/rules.h"
#include "render/gl11/gl.h"
#include "seed/field_setup.h"
#include "tests/support/gl_test_support.h"

namespace orvex {
namespace {

using test::Drawn;
using test::scene_settings;

constexpr int kW = 800, kH = 600;
// How the cells reach OpenGL: immediate mode, arrays per frame, or kept
// geometry in buffer objects or in client arrays; or offered buffer objects
// by a GL that then refuses them storage.
enum class Way { Immediate, Arrays, Buffers, KeptArrays, RefusedBuffers };

#ifndef APIENTRY
#define APIENTRY
#endif

// glBufferData that asks for a usage no GL knows: nothing is stored and the
// GL flags an error, as when it runs out of memory for a large field.
void APIENTRY refused_buffer_data(GLenum target, std::ptrdiff_t size, const void* data, GLenum) {
    using BufferData = void(APIENTRY*)(GLenum, std::ptrdiff_t, const void*, GLenum);
    reinterpret_cast<BufferData>(OsMesaSurface::gl_proc("glBufferData"))(target, size, data, 0);
}

void* refusing_loader(const char* name) {
    if (std::string(name).rfind("glBufferData", 0) == 0) return reinterpret_cast<void*>(&refused_buffer_data);
    return OsMesaSurface::gl_proc(name);
}

struct Case {
    int style;
    int family;
    int lights;
    bool picture;
    int main_color;
    int field_size;
    int width = kW, height = kH;
};

std::string describe(const Case& c) {
    return "style " + std::to_string(c.style) + ", family " + std::to_string(c.family) + ", lights " +
           std::to_string(c.lights) + (c.picture ? ", picture" : "") + ", colour " + std::to_string(c.main_color) +
           ", field " + std::to_string(c.field_size);
}

// A picture of random texels, so every cell shows its own part of it.
class PictureFolder {
public:
    PictureFolder() : folder_("arrays") {
        RgbImage img;
        img.width = img.height = 32;
        std::mt19937 random(7);
        for (int k = 0; k < img.width * img.height * 3; ++k) img.pixels.push_back(static_cast<std::uint8_t>(random()));
        test::write_bmp(folder_.path / "p.bmp", img);
    }
    const std::filesystem::path& path() const { return folder_.path; }

private:
    test::TempFolder folder_;
};

int rule_with_states(int at_least) {
    int rule = 0;
    while (life_lenght[rule] < at_least) ++rule;
    return rule;
}

Settings case_settings(const Case& c) {
    Settings s = scene_settings(c.style, c.main_color, c.family, c.lights);
    s.field_size = c.field_size;
    if (c.family != kFamilyLife) s.life_rule = rule_with_states(6);
    if (c.picture) {
        s.TextureFlag = 1;
        s.picture_name = "p.bmp";
    }
    normalize_first_stage(s);
    normalize_second_stage(s);
    return s;
}

// About half the cells non-empty, Generations cells spread over all their states.
Automaton busy_field(const Settings& s, unsigned seed) {
    Automaton field(field_setup(s));
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> state(1, field.states() - 1);
    for (int i = 0; i < field.field_size(); ++i)
        for (int j = 0; j < field.field_size(); ++j)
            if (random() % 100 < 55) field.set_cell(i, j, state(random));
    return field;
}

// One context for the scenes of these tests (a fresh one compiles its shaders
// anew), made current and put back to OpenGL's initial state before each scene.
OsMesaSurface& shared_surface(int width, int height) {
    static OsMesaSurface surface(width, height);
    if (!surface.resize(width, height)) throw std::runtime_error(surface.error());
    static const bool saved = [] {
        glPushAttrib(GL_ALL_ATTRIB_BITS);
        glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
        return true;
    }();
    (void)saved;
    glPopClientAttrib();
    glPopAttrib();
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
    return surface;
}

std::vector<std::uint8_t> draw(const Case& c, const Settings& s, const Automaton& before, const Automaton& field,
                               const PictureFolder& pictures, Way way,
                               std::size_t batch = CellDrawer::kDefaultBatchVertices) {
    // Lit squares drawn in immediate mode come out a shade apart on a few pixels
    // depending on what the context drew before, so they are drawn in a context
    // of their own.
    std::unique_ptr<OsMesaSurface> own;
    if (c.style == kStyleQuads && c.lights != 0) {
        own = std::make_unique<OsMesaSurface>(c.width, c.height);
        if (!own->ok()) throw std::runtime_error(own->error());
    }
    OsMesaSurface& surface = own ? *own : shared_surface(c.width, c.height);
    RecordingMessageSink messages;
    PictureTexture texture(s, pictures.path(), messages);
    SceneServices services;
    services.pictures = &texture;
    services.clock = [] { return std::int64_t{1700000000}; };
    if (way == Way::Buffers) services.gl_procs = OsMesaSurface::gl_proc;
    if (way == Way::RefusedBuffers) services.gl_procs = refusing_loader;
    Scene scene(s, std::move(services));
    scene.GLSetupRC();
    texture.load_first_picture();
    scene.GLResize(c.width, c.height);
    EXPECT_EQ(texture.TextureFlag(), s.TextureFlag);
    EXPECT_EQ(scene.cells().has_buffer_objects(), way == Way::Buffers || way == Way::RefusedBuffers);
    scene.cells().set_mode(way == Way::Immediate ? DrawMode::Immediate
                           : way == Way::Arrays  ? DrawMode::Arrays
                                                 : DrawMode::Retained);
    scene.cells().set_batch_vertices(batch);
    scene.GLRenderScene(before);
    scene.GLRenderScene(field);
    scene.GLRenderScene(field);
    if (way == Way::Buffers) {
        EXPECT_EQ(scene.cells().bytes_last_frame(), 0u) << "a redraw without a change hands nothing over";
    }
    if (way == Way::RefusedBuffers) {
        EXPECT_FALSE(scene.cells().has_buffer_objects());
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
    surface.finish();
    scene.GLFree();
    texture.free();
    return surface.rgb_top_down();
}

::testing::AssertionResult same_pixels(const Case& c, const std::vector<std::uint8_t>& want,
                                       const std::vector<std::uint8_t>& got) {
    if (want.size() != got.size()) return ::testing::AssertionFailure() << "sizes differ";
    std::size_t differing = 0, first = 0, lit = 0;
    for (std::size_t p = 0; p < want.size(); p += 3) {
        if (want[p] || want[p + 1] || want[p + 2]) ++lit;
        if (want[p] != got[p] || want[p + 1] != got[p + 1] || want[p + 2] != got[p + 2])
            if (differing++ == 0) first = p;
    }
    if (lit < want.size() / 3 / 100)
        return ::testing::AssertionFailure() << "only " << lit << " pixels lit: not a busy frame";
    if (differing == 0) return ::testing::AssertionSuccess();
    // Lit squares: glBegin/glEnd itself cuts some squares along the other
    // diagonal from one context to the next, a few shades apart, or a texel
    // over under a picture of random texels.
    int most = 0;
    for (std::size_t p = 0; p < want.size(); ++p) most = std::max(most, std::abs(int(want[p]) - int(got[p])));
    if (c.style == kStyleQuads && c.lights != 0 && differing * 200 <= want.size() / 3)
        return ::testing::AssertionSuccess();
    const std::size_t at = first / 3;
    return ::testing::AssertionFailure() << differing << " pixels differ, by up to " << most << "; first at x "
                                         << at % c.width << ", y " << at / c.width << " from the top: ("
                                         << int(want[first]) << ", " << int(want[first + 1]) << ", "
                                         << int(want[first + 2]) << ") drawn as (" << int(got[first]) << ", "
                                         << int(got[first + 1]) << ", " << int(got[first + 2]) << ")";
}

void expect_same_every_way(const Case& c, const PictureFolder& pictures, unsigned seed,
                           std::initializer_list<Way> ways = {Way::Arrays, Way::Buffers}) {
    SCOPED_TRACE(describe(c));
    const Settings s = case_settings(c);
    const Automaton before = busy_field(s, seed + 1000);
    const Automaton field = busy_field(s, seed);
    const auto want = draw(c, s, before, field, pictures, Way::Immediate);
    for (Way way : ways) {
        SCOPED_TRACE("way " + std::to_string(static_cast<int>(way)));
        EXPECT_TRUE(same_pixels(c, want, draw(c, s, before, field, pictures, way)));
    }
}

const int kStyles[] = {kStylePoints, kStyleTriangles, kStyleLines, kStyleQuads};
const int kColours[] = {kColorRed, kColorGreen, kColorBlue};

// Large cells (8 x 6 pixels): colours, lighting and texels across whole shapes.
TEST(CellArrays, SamePixelsAsImmediateModeInEveryCombination) {
    const PictureFolder pictures;
    unsigned seed = 1;
    for (int style : kStyles)
        for (int family : {kFamilyLife, kFamilyGeneration})
            for (int lights = 0; lights <= 3; ++lights)
                for (bool picture : {false, true}) {
                    const Case c{style, family, lights, picture, kColours[seed % 3], 100};
                    expect_same_every_way(c, pictures, seed++);
                }
}

// Cells of two or three pixels (a 400 x 300 window) and an odd side: shapes that
// cover a pixel centre or miss it by a hair, on a Modified Generation field;
// kept geometry also without buffer objects.
TEST(CellArrays, SamePixelsWithSmallCells) {
    const PictureFolder pictures;
    unsigned seed = 100;
    for (int style : kStyles)
        for (int lights : {0, 3})
            for (bool picture : {false, true}) {
                const Case c{style, kFamilyModifiedGeneration, lights, picture, kColours[seed % 3], 157, 400, 300};
                expect_same_every_way(c, pictures, seed++, {Way::Buffers, Way::KeptArrays});
            }
}

// A batch of 13 vertices is drawn many times per frame and fits no whole number
// of diamonds, squares or segments: no shape may be split between two draws.
TEST(CellArrays, SmallBatchesDrawTheSamePixels) {
    const PictureFolder pictures;
    for (int style : kStyles)
        for (int lights : {0, 2}) {
            const Case c{style, kFamilyGeneration, lights, true, kColorGreen, 100};
            SCOPED_TRACE(describe(c));
            const Settings s = case_settings(c);
            const Automaton field = busy_field(s, 42);
            EXPECT_TRUE(same_pixels(c, draw(c, s, field, field, pictures, Way::Immediate),
                                    draw(c, s, field, field, pictures, Way::Arrays, 13)));
        }
}

// Buffer objects whose storage the GL refuses: kept geometry goes back to
// client arrays on the first upload and shows the same pixels.
TEST(CellArrays, RefusedBufferStorageFallsBackToClientArrays) {
    const PictureFolder pictures;
    unsigned seed = 200;
    for (int style : kStyles)
        for (int lights : {0, 1}) {
            const Case c{style, kFamilyLife, lights, style == kStyleTriangles, kColorRed, 100};
            expect_same_every_way(c, pictures, seed++, {Way::RefusedBuffers});
        }
}

// Kept geometry comes in as few draws as their length allows, except that shapes
// reaching past the edge of the view get draws of their own, as the GL clips a
// whole draw once one vertex needs it. A full field of points: in a wide view
// only the first column touches an edge; in a 4:3 view the top row is above it
// too, so each column's top point stands apart.
TEST(CellArrays, ShapesPastTheViewGetDrawsOfTheirOwn) {
    const Settings s = case_settings({kStylePoints, kFamilyLife, 0, false, kColorBlue, 100});
    Automaton field(field_setup(s));
    for (int i = 0; i < field.field_size(); ++i)
        for (int j = 0; j < field.field_size(); ++j) field.set_cell(i, j, 1);
    for (const auto& [height, least, most] : {std::tuple{180, 1, 2}, std::tuple{240, 150, 250}}) {
        SCOPED_TRACE(height);
        SceneServices services;
        services.gl_procs = OsMesaSurface::gl_proc;
        Drawn d(s, 320, height, std::move(services));
        d.frame(field);
        EXPECT_GE(d.scene->cells().kept_draws_last_frame(), static_cast<std::size_t>(least));
        EXPECT_LE(d.scene->cells().kept_draws_last_frame(), static_cast<std::size_t>(most));
    }
}

// After a frame the arrays, the colour material and the texture unit are as the
// scene set them up, lit or not, so nothing drawn later inherits them.
TEST(CellArrays, FrameLeavesTheGlStateAsSetUp) {
    const PictureFolder pictures;
    for (int lights : {0, 2}) {
        SCOPED_TRACE(lights);
        const Settings s = case_settings({kStyleTriangles, kFamilyLife, lights, true, kColorBlue, 100});
        SceneServices services;
        services.gl_procs = OsMesaSurface::gl_proc;
        Drawn d(s, kW, kH, std::move(services), pictures.path());
        ASSERT_EQ(d.scene->cells().mode(), DrawMode::Retained);
        const GLboolean colour_material = glIsEnabled(GL_COLOR_MATERIAL);
        d.frame(busy_field(s, 3));
        GLint depth = 0, buffer = -1;
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
        glGetIntegerv(0x8894 /* GL_ARRAY_BUFFER_BINDING */, &buffer);
        EXPECT_EQ(depth, 1);
        EXPECT_EQ(buffer, 0);
        EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
        EXPECT_FALSE(glIsEnabled(GL_COLOR_ARRAY));
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
        EXPECT_EQ(glIsEnabled(GL_COLOR_MATERIAL), colour_material);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
}

}  // namespace
}  // namespace orvex
