// The scene of the saver drawn with OpenGL ES 3.0 (GLSL ES 3.00), which is
// also WebGL 2: the same frames as the fixed-function OpenGL 1.1 scene
// (render/gl11/scene.h) from shaders.
//
// A step uploads one 32-bit word per drawn cell (its column, its row and its
// state), or for Lines per segment (the cell's word and the direction); a
// Point on a pixel that one drawn before it holds is not drawn. The
// vertex shader makes the style's corners from it (the vertex's number picks
// the cell and the corner), and the cell's colour from its place and state
// with the shared colours' arithmetic. A frame without a step uploads nothing. The lighting equation of the
// fixed-function pipeline (the spot lights' position, direction, cut-off and exponent, the viewer light, material and
// colour material, the light model's ambient) is worked out per vertex, as that pipeline does, so the frames agree;
// each light count and picture mode has a program of its own, built when first drawn, with no branch on either. The
// picture is a mipmapped texture that modulates the lit cells or replaces the colour of unlit ones, clamped at its
// edges against a black border as GL_CLAMP does. The frame-rate text takes its glyphs from the host's glyph source, as
// bitmaps in a small texture.
//
// Unlit, a frame of a field that has not changed since the last one is the
// same picture: its first redraw draws the cells into a framebuffer of the
// window's size that is kept, and the redraws after it copy that to the window
// instead of drawing every cell again. A step's frame is drawn straight to the
// window, and lit frames, which change with the moving lights, always are.
//
// A shader that does not compile or link, or storage the driver refuses, is
// reported once through the message sink, with the driver's log; the renderer
// then draws nothing.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/clock.h"
#include "base/message_sink.h"
#include "base/random_source.h"
#include "config/settings.h"
#include "render/gles3/gles3_api.h"
#include "render/glyph_source.h"
#include "render/renderer.h"

namespace orvex {

constexpr const char* kGles3ErrorCaption = "OpenGL ES";

struct Gles3Services {
    Gles3ProcLoader gl_procs = nullptr;    // eglGetProcAddress or the like; required
    MessageSink* messages = nullptr;       // where failures go; null: nowhere
    CalendarClock clock;                   // null: the system clock
    std::unique_ptr<RandomSource> random;  // the lights' generator; null: an LcgRandom
    GlyphSource* glyphs = nullptr;         // the frame-rate text's font; null: no text
    // Replacements for the cell shaders' sources (empty: the renderer's own).
    std::string vertex_source, fragment_source;
    // Points hidden behind one drawn before them on the same pixel are left
    // out of a step's upload; true draws them all (the same frame, slower).
    bool every_point = false;
};

class Gles3Renderer final : public FrameRenderer {
public:
    Gles3Renderer(const Settings& settings, Gles3Services services);
    ~Gles3Renderer() override;
    Gles3Renderer(const Gles3Renderer&) = delete;
    Gles3Renderer& operator=(const Gles3Renderer&) = delete;

    bool setup() override;
    void resize(int width, int height) override;
    void draw_frame(const Automaton& field) override;
    bool load_picture(const RgbImage& image) override;
    int max_texture_size() const override;
    void draw_text(int width, int height, int line_height, const char* text) override;
    void release() override;
    const MovingLights& lights() const override { return lights_; }

    // False once setup failed or a failure stopped the drawing.
    bool ok() const { return ok_; }
    // Bytes of cell data uploaded for the last frame (0 when the field had not changed).
    std::size_t bytes_last_frame() const { return bytes_last_frame_; }

private:
    // The picture's part in a frame: none, modulating the lit colour, or replacing it.
    enum PictureMode { kNoPicture, kModulate, kDecal, kPictureModes };
    struct CellProgram {
        GLuint id = 0;
        GLint mvp = -1, modelview = -1, point_shift = -1, first = -1, side = -1, h = -1, pitch = -1, ramp = -1,
              states = -1, light_position = -1;
    };
    // What the uploaded words depend on: the field and, for Points, whose
    // words leave out the cells hidden behind others, the window.
    struct Key {
        std::uint64_t version = 0;
        int states = 0;
        std::array<int, 2> window{0, 0};
        bool operator==(const Key& o) const { return version == o.version && states == o.states && window == o.window; }
    };

    bool report(const std::string& what, const std::string& log = {});
    bool link(const std::string& vertex, const std::string& fragment, const char* name, GLuint& program);
    const CellProgram* cell_program(PictureMode mode, bool lit = true);
    void set_light_constants(GLuint program, int lights);
    void move_lights(GLint positions);
    void clear_view();
    void paint_cells(const CellProgram& p, const Automaton& field);
    bool light_pass();
    bool make_glyph_texture();
    bool keep_frame(GLint target);
    void drop_kept_frame();
    void show_kept_frame(GLint target);
    Key key_of(const Automaton& field) const;
    bool single_sampled() const;
    void upload_cells(const Automaton& field);
    void draw_cells(const CellProgram& p);

    int MainColor_, DrawStyle_, Family_, OneColor_, LightingNum_;
    MessageSink* messages_;
    MovingLights lights_;
    Gles3ProcLoader loader_;
    std::string vertex_source_, fragment_source_;
    Gles3Api gl_;
    bool ok_ = false;
    bool set_up_ = false;
    bool every_point_;

    // Light table as set up.
    std::array<std::array<float, 3>, kMovingLights> spot_direction_{};
    std::array<std::array<float, 4>, kMovingLights> colour_{};

    std::array<CellProgram, kPictureModes> programs_{};
    CellProgram unlit_points_;  // the cells of the light pass's frame
    // The light pass: its program and its uniforms' places.
    GLuint light_program_ = 0;
    GLint u_pass_mvp_ = -1, u_pass_modelview_ = -1, u_pass_light_position_ = -1;
    GLuint text_program_ = 0;
    GLint u_text_scale_ = -1, u_text_glyphs_ = -1;
    GLuint vertex_array_ = 0, index_buffer_ = 0, text_buffer_ = 0;
    GLuint cells_ = 0, picture_ = 0, glyph_texture_ = 0;
    int cells_rows_ = 0;  // rows the cell texture holds
    bool picture_on_ = false;

    std::vector<std::uint32_t> words_;  // the drawn cells (or segments) of the last upload
    std::vector<std::uint8_t> taken_;   // per window pixel, whether a Point already holds it
    std::size_t drawn_ = 0;
    Key key_;
    bool kept_ = false;
    std::size_t bytes_last_frame_ = 0;

    // The kept unlit frame: its framebuffer, colour (a texture) and depth,
    // and whether it holds the cells of key_ at window_'s size; off for good
    // once the GL refused it or the window is multisampled. Unlit it is
    // copied to the window; lit Points without a picture light it there.
    GLuint frame_buffer_ = 0, frame_colour_ = 0, frame_depth_ = 0;
    std::array<int, 2> frame_size_{0, 0};
    std::array<int, 2> drawn_size_{0, 0};  // the window's size at the last frame drawn
    bool frame_kept_ = false;
    bool keep_frames_ = true;

    float xf_ = 1.0f;
    std::array<float, 2> point_shift_{};
    std::array<int, 4> viewport_{0, 0, 1, 1};  // the cells' (x, y, width, height)
    std::array<int, 2> window_{1, 1};
    std::array<float, 16> projection_{};
    GlyphSource* glyphs_;
    GlyphBitmaps glyph_cells_;  // their metrics, once the texture holds them
};

}  // namespace orvex
