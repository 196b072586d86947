// The OpenGL scene of the simulation window: one-time set-up of depth test,
// shading, lights, material, font and first picture; viewport and projection on
// every size change; one frame per paint. The field lies flat, facing the
// viewer, on a black background; only the lights move.
//
// Lifecycle, all with the rendering context current: GLSetupRC once, GLResize
// on every size change, GLRenderScene on every paint (the caller swaps the
// buffers), GLFree before the context goes. Settings are taken once, when the
// scene is built. The picture over the field is drawn from the texture that
// the services name; its loading belongs to its owner.
#pragma once

#include <array>
#include <memory>

#include "base/clock.h"
#include "base/random_source.h"
#include "config/settings.h"
#include "core/automaton.h"
#include "render/gl11/cell_drawing.h"
#include "render/gl11/picture_texture.h"
#include "render/gl11/text_font.h"
#include "render/moving_lights.h"

namespace orvex {

struct SceneServices {
    const PictureTexture* pictures = nullptr;  // the picture over the field; null: none
    GlyphSource* glyphs = nullptr;             // the window system's font; null: no glyphs
    CalendarClock clock;                       // null: the system clock
    std::unique_ptr<RandomSource> random;      // the lights' generator; null: an LcgRandom
    GlProcLoader gl_procs = nullptr;           // finds buffer objects; null: cells kept in client arrays
};

class Scene {
public:
    Scene(const Settings& settings, SceneServices services);
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    void GLSetupRC();
    // A height of 0 (a minimised window) counts as 1.
    void GLResize(int width, int height);
    void GLRenderScene(const Automaton& field);
    // Releases the font lists and the kept cell geometry.
    void GLFree();

    TextFont& font() { return font_; }
    const MovingLights& lights() const { return lights_; }
    // The drawer of the cells; its buffers live as long as the scene (or until GLFree).
    CellDrawer& cells() { return cells_; }
    float xf() const { return xf_; }
    int one_color_flag() const { return one_color_flag_; }

private:
    void set_light(int k);

    int MainColor_;
    int DrawStyle_;
    int Family_;
    int OneColor_;
    int LightingNum_;

    TextFont font_;
    const PictureTexture* pictures_;
    MovingLights lights_;
    GlyphSource* glyphs_;
    GlProcLoader gl_procs_;
    CellDrawer cells_;

    float xf_ = 0.0f;
    int one_color_flag_ = 1;
    std::array<float, 4> posS_{0.0f, 0.0f, 0.0f, 1.0f};
    std::array<std::array<float, 3>, kMovingLights> spot_direction_{};
    std::array<std::array<float, 4>, kMovingLights> colour_{};
};

}  // namespace orvex
