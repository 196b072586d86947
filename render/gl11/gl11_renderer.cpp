#include "render/gl11/gl11_renderer.h"

#include <utility>

#include "render/gl11/gl.h"
#include "render/gl11/text_overlay.h"

namespace orvex {

namespace {

SceneServices with_pictures(SceneServices services, const PictureTexture* pictures) {
    services.pictures = pictures;
    return services;
}

}  // namespace

Gl11Renderer::Gl11Renderer(const Settings& settings, SceneServices services, PictureTexture* pictures)
    : pictures_(pictures), scene_(settings, with_pictures(std::move(services), pictures)) {}

bool Gl11Renderer::setup() {
    scene_.GLSetupRC();
    return true;
}

bool Gl11Renderer::load_picture(const RgbImage& image) { return pictures_ && pictures_->load_image(image) != 0; }

int Gl11Renderer::max_texture_size() const {
    GLint size = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &size);
    return size;
}

void Gl11Renderer::draw_text(int width, int height, int line_height, const char* text) {
    draw_text_overlay(scene_.font(), width, height, line_height, text);
}

}  // namespace orvex
