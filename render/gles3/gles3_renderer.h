// The scene of the saver drawn with OpenGL ES 3.0 (GLSL ES 3.00), which is
// also WebGL 2: the same frames as the fixed-function OpenGL 1.1 scene
// (render/scene.h) from shaders. The cells come from the shared walk and
// colours; the lighting equation of the fixed-function pipeline (three spot
// lights with position, direction, cut-off, exponent and attenuation, the
// viewer light, material and colour material, the light model's ambient) is
// worked out per vertex, as that pipeline does, so the frames agree; the
// picture is a mipmapped texture that modulates the lit cells or replaces the
// colour of unlit ones, clamped at its edges against a black border as GL_CLAMP
// does. The frame-rate text takes its glyphs from the host's glyph source,
// as bitmaps in a small texture.
//
// The cell geometry stays in a buffer object from one change of the field to
// the next: a frame without a step draws without uploading anything.
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
    // Bytes of vertex data uploaded for the last frame (0 when the geometry was kept).
    std::size_t bytes_last_frame() const { return bytes_last_frame_; }

private:
    struct Key {
        std::uint64_t version = 0;
        int states = 0;
        bool textured = false;
        bool operator==(const Key& o) const {
            return version == o.version && states == o.states && textured == o.textured;
        }
    };

    bool report(const std::string& what, const std::string& log = {});
    bool build_programs();
    bool make_glyph_texture();
    void upload_cells(const Automaton& field);
    void draw_cells();
    void set_lights();

    int MainColor_, DrawStyle_, Family_, OneColor_, LightingNum_;
    MessageSink* messages_;
    MovingLights lights_;
    Gles3ProcLoader loader_;
    std::string vertex_source_, fragment_source_;
    Gles3Api gl_;
    bool ok_ = false;
    bool set_up_ = false;

    // Light table as set up.
    std::array<std::array<float, 3>, kMovingLights> spot_direction_{};
    std::array<std::array<float, 4>, kMovingLights> colour_{};

    GLuint program_ = 0, text_program_ = 0;
    GLint u_mvp_ = -1, u_modelview_ = -1, u_light_on_ = -1, u_light_position_ = -1, u_light_ambient_ = -1,
          u_light_diffuse_ = -1, u_light_specular_ = -1, u_spot_direction_ = -1, u_spot_exponent_ = -1,
          u_spot_cos_cutoff_ = -1, u_attenuation_ = -1, u_scene_ambient_ = -1, u_specular_ = -1, u_shininess_ = -1,
          u_point_shift_ = -1, u_pixel_ = -1, u_picture_mode_ = -1, u_picture_ = -1;
    GLint u_text_scale_ = -1, u_text_glyphs_ = -1;
    GLuint vertex_array_ = 0, vertex_buffer_ = 0, index_buffer_ = 0, text_buffer_ = 0;
    std::size_t vertex_buffer_bytes_ = 0;
    GLuint picture_ = 0, glyph_texture_ = 0;
    bool picture_on_ = false;

    std::vector<float> geometry_;
    std::size_t vertices_ = 0;
    Key key_;
    bool kept_ = false;
    std::size_t bytes_last_frame_ = 0;

    float xf_ = 1.0f;
    std::array<float, 16> projection_{};
    GlyphSource* glyphs_;
    GlyphBitmaps glyph_cells_;  // their metrics, once the texture holds them
};

}  // namespace orvex
