#include "render/picture_texture.h"

#include <utility>

#include "config/file_names.h"
#include "render/gl.h"
#include "render/picture_decoder.h"

namespace orvex {

namespace {

constexpr GLint kRgbComponents = 3;

}  // namespace

PictureTexture::PictureTexture(const Settings& settings, std::filesystem::path pictures_folder, MessageSink& messages,
                               PictureLister lister, std::shared_ptr<PictureWorker> worker, int start_offset)
    : settings_(settings),
      folder_(std::move(pictures_folder)),
      messages_(messages),
      cycler_(lister ? std::move(lister) : folder_lister(folder_), start_offset),
      worker_(worker ? std::move(worker) : std::make_shared<InlinePictureWorker>()) {}

void PictureTexture::load_first_picture() {
    if (settings_.TextureFlag && LoadGLTextures() == 0) settings_.TextureFlag = 0;
}

void PictureTexture::list_pictures() {
    if (settings_.Texture_Renew == 1) cycler_.Find_Pictures(settings_);
    prefetch();
}

void PictureTexture::picture_step() {
    cycler_.advance_for_seeding(settings_);
    if (settings_.Texture_Renew != 1 || settings_.TextureFlag != 1) return;
    request(settings_.picture_name);
    waiting_ = true;
    upload_ready();
    if (waiting_) ++late_;
}

void PictureTexture::upload_ready() {
    if (!waiting_ || !next_) return;
    std::optional<RgbImage> image;
    std::vector<RecordingMessageSink::Message> said;
    {
        std::lock_guard<std::mutex> lock(next_->mutex);
        if (!next_->done) return;
        image = std::move(next_->image);
        said = std::move(next_->messages);
    }
    next_.reset();
    waiting_ = false;
    if (!image || load_image(*image) == 0) settings_.TextureFlag = 0;
    for (const auto& m : said) messages_.show(m.caption, m.text);
    prefetch();
}

void PictureTexture::prefetch() {
    if (settings_.Texture_Renew == 1 && settings_.TextureFlag == 1 && cycler_.count() > 0)
        request(cycler_.peek_next(settings_));
}

void PictureTexture::request(const std::string& name) {
    if (next_ && next_->name == name) return;
    auto job = std::make_shared<Decoding>();
    job->name = name;
    next_ = job;
    const std::filesystem::path path = name.empty() ? std::filesystem::path() : path_for_name(folder_, name);
    worker_->post([job, path, limits = limits()] {
        RecordingMessageSink said;
        std::optional<RgbImage> image = LoadPicture(path, said, limits);
        std::lock_guard<std::mutex> lock(job->mutex);
        job->image = std::move(image);
        job->messages = std::move(said.messages);
        job->done = true;
    });
}

PictureLimits PictureTexture::limits() const {
    PictureLimits limits;
    limits.max_side = max_side_;
    if (limits.max_side == 0) {
        GLint gl_max = 0;
        glGetIntegerv(GL_MAX_TEXTURE_SIZE, &gl_max);
        limits.max_side = gl_max;
    }
    return limits;
}

int PictureTexture::LoadGLTextures() {
    if (settings_.picture_name.empty()) return 0;
    const auto image = LoadPicture(path_for_name(folder_, settings_.picture_name), messages_, limits());
    if (!image) return 0;
    return load_image(*image);
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

void PictureTexture::set_window_size(int width, int height) {
    GLint gl_max = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &gl_max);
    max_side_ = texture_side_for_window(width, height, gl_max);
}

void PictureTexture::free() {
    if (texture_ != 0) glDeleteTextures(1, &texture_);
    texture_ = 0;
}

}  // namespace orvex
