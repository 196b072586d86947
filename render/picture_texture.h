// The picture over the field: one OpenGL texture holding the current BMP of
// the pictures folder, and the running state of "Picture On" (TextureFlag) and
// "Picture Cycling" (Texture_Renew).
//
// A picture that can't be loaded switches pictures off for the rest of the run;
// fewer than two listed pictures switch cycling off. Each new picture replaces
// the texture object of the one before, so cycling for hours holds one texture.
// Every call needs the rendering context current.
#pragma once

#include <filesystem>
#include <string>

#include "config/settings.h"
#include "render/bmp_reader.h"
#include "render/message_sink.h"
#include "render/pictures.h"

namespace orvex {

class PictureTexture {
public:
    // Takes TextureFlag, Texture_Renew and picture_name from the settings. A
    // null lister lists pictures_folder itself. start_offset: see PictureCycler.
    PictureTexture(const Settings& settings, std::filesystem::path pictures_folder, MessageSink& messages,
                   PictureLister lister = nullptr, int start_offset = 0);
    PictureTexture(const PictureTexture&) = delete;
    PictureTexture& operator=(const PictureTexture&) = delete;

    // Start of a run, right after the scene set-up: loads the picture named in
    // the settings when pictures are on; a failure turns them off.
    void load_first_picture();
    // Start of a run, before the first seed: lists the folder when cycling is on.
    void list_pictures();
    // First step of every seeding: the next picture when cycling, loaded when
    // pictures are on; a failure turns them off.
    void picture_step();

    // Loads picture_name from the pictures folder into a new texture object.
    // 1 when the file could be read and the texture was built, else 0.
    int LoadGLTextures();
    // The same from pixels already in memory.
    int load_image(const RgbImage& image);

    // Deletes the texture object.
    void free();

    int TextureFlag() const { return settings_.TextureFlag; }
    int Texture_Renew() const { return settings_.Texture_Renew; }
    const std::string& picture_name() const { return settings_.picture_name; }
    unsigned texture() const { return texture_; }
    const PictureCycler& cycler() const { return cycler_; }

private:
    Settings settings_;  // only the picture fields are used
    std::filesystem::path folder_;
    MessageSink& messages_;
    PictureCycler cycler_;
    unsigned texture_ = 0;
};

}  // namespace orvex
