// The picture over the field in OpenGL 1.1: one texture object holding the
// current picture of the pictures folder (BMP, JPEG or PNG,
// picture/picture_decoder.h), uploaded with its mipmaps. When each picture is
// decoded and shown is the GL-free PictureSchedule's (picture/picture_schedule.h);
// this class adds the upload and forwards the rest.
//
// Each new picture replaces the texture object of the one before, so cycling
// for hours holds one texture. Every call needs the rendering context current.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "base/message_sink.h"
#include "config/settings.h"
#include "picture/bmp_reader.h"
#include "picture/picture_schedule.h"
#include "picture/picture_worker.h"
#include "picture/pictures.h"

namespace orvex {

class PictureTexture {
public:
    // See PictureSchedule.
    PictureTexture(const Settings& settings, std::filesystem::path pictures_folder, MessageSink& messages,
                   PictureLister lister = nullptr, std::shared_ptr<PictureWorker> worker = nullptr,
                   int start_offset = 0);
    PictureTexture(const PictureTexture&) = delete;
    PictureTexture& operator=(const PictureTexture&) = delete;

    void load_first_picture();
    void list_pictures() { schedule_.list_pictures(); }
    void picture_step() { schedule_.picture_step(); }
    void upload_ready() { schedule_.upload_ready(); }
    bool waiting() const { return schedule_.waiting(); }
    int late_pictures() const { return schedule_.late_pictures(); }

    // Pictures are reduced while they are decoded to what a window of this
    // size needs (picture/picture_reduce.h); before the first call, to the GL's
    // largest texture. A minimised window (no area) keeps the size before.
    void set_window_size(int width, int height);

    // Loads picture_name from the pictures folder into a new texture object.
    // 1 when the file could be read and the texture was built, else 0.
    int LoadGLTextures();
    // The same from pixels already in memory.
    int load_image(const RgbImage& image);

    // Deletes the texture object.
    void free();

    int TextureFlag() const { return schedule_.TextureFlag(); }
    int Texture_Renew() const { return schedule_.Texture_Renew(); }
    const std::string& picture_name() const { return schedule_.picture_name(); }
    unsigned texture() const { return texture_; }
    const PictureCycler& cycler() const { return schedule_.cycler(); }
    const PictureSchedule& schedule() const { return schedule_; }

private:
    unsigned texture_ = 0;
    PictureSchedule schedule_;
};

}  // namespace orvex
