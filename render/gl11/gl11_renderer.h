// The fixed-function OpenGL 1.1 scene behind the renderer interface: the
// scene (render/gl11/scene.h) draws the frames, the picture texture given to it
// holds the picture, and the scene's font writes the text.
#pragma once

#include "render/gl11/scene.h"
#include "render/renderer.h"

namespace orvex {

class Gl11Renderer final : public FrameRenderer {
public:
    // pictures may be null (no picture); it must outlive the renderer.
    Gl11Renderer(const Settings& settings, SceneServices services, PictureTexture* pictures);

    bool setup() override;
    void resize(int width, int height) override { scene_.GLResize(width, height); }
    void draw_frame(const Automaton& field) override { scene_.GLRenderScene(field); }
    bool load_picture(const RgbImage& image) override;
    int max_texture_size() const override;
    void draw_text(int width, int height, int line_height, const char* text) override;
    void release() override { scene_.GLFree(); }
    const MovingLights& lights() const override { return scene_.lights(); }

    Scene& scene() { return scene_; }

private:
    PictureTexture* pictures_;
    Scene scene_;
};

}  // namespace orvex
