#include "render/gl11/picture_texture.h"

#include <utility>

#include "render/gl11/gl.h"

namespace orvex {

namespace {

constexpr GLint kRgbComponents = 3;

int gl_max_texture_size() {
    GLint gl_max = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &gl_max);
    return gl_max;
}

}  // namespace

PictureTexture::PictureTexture(const Settings& settings, std::filesystem::path pictures_folder, MessageSink& messages,
                               PictureLister lister, std::shared_ptr<PictureWorker> worker, int start_offset)
    : schedule_(
          settings, std::move(pictures_folder), messages,
          [this](const RgbImage& image) { return load_image(image) != 0; }, std::move(lister), std::move(worker),
          start_offset) {}

void PictureTexture::load_first_picture() {
    schedule_.set_max_texture_size(gl_max_texture_size());
    schedule_.load_first_picture();
}

int PictureTexture::LoadGLTextures() {
    schedule_.set_max_texture_size(gl_max_texture_size());
    return schedule_.LoadGLTextures();
}

void PictureTexture::set_window_size(int width, int height) {
    schedule_.set_max_texture_size(gl_max_texture_size());
    schedule_.set_window_size(width, height);
}

int PictureTexture::load_image(const RgbImage& image) {
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() < static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 3)
        return 0;

    // Each picture gets a fresh texture object, the previous one is deleted.
    // The name is kept for the whole run: drivers need not hand out a deleted
    // name again, and hours of cycling must not run through names either.
    GLuint name = texture_;
    if (name == 0)
        glGenTextures(1, &name);
    else
        glDeleteTextures(1, &name);
    texture_ = name;
    glBindTexture(GL_TEXTURE_2D, name);
    // Rows come without padding; the default alignment of 4 would read past
    // the end of every row whose width is not a multiple of 4 bytes.
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    const GLint built = gluBuild2DMipmaps(GL_TEXTURE_2D, kRgbComponents, image.width, image.height, GL_RGB,
                                          GL_UNSIGNED_BYTE, image.pixels.data());
    glPopClientAttrib();
    if (built != 0) {
        free();
        return 0;
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    return 1;
}

void PictureTexture::free() {
    if (texture_ != 0) glDeleteTextures(1, &texture_);
    texture_ = 0;
}

}  // namespace orvex
