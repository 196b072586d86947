// The picture over the field: one OpenGL texture holding the current picture
// of the pictures folder (BMP, JPEG or PNG, render/picture_decoder.h), and the running state of "Picture On"
// (TextureFlag) and "Picture Cycling" (Texture_Renew).
//
// A picture that can't be loaded switches pictures off for the rest of the run;
// fewer than two listed pictures switch cycling off. Each new picture replaces
// the texture object of the one before, so cycling for hours holds one texture.
// Every call needs the rendering context current.
//
// With cycling, pictures are decoded through a PictureWorker: the next picture
// of the cycle is asked for as soon as the current one is shown, and a
// seeding only uploads what has been decoded. A picture that isn't ready at
// its seeding leaves the previous one on the field until upload_ready() finds
// it done; its messages (a damaged file) are passed on then, from the calling
// thread. The picture named at start-up is decoded within load_first_picture.
#pragma once

#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "base/message_sink.h"
#include "config/settings.h"
#include "render/bmp_reader.h"
#include "render/picture_reduce.h"
#include "render/picture_worker.h"
#include "render/pictures.h"

namespace orvex {

class PictureTexture {
public:
    // Takes TextureFlag, Texture_Renew and picture_name from the settings. A
    // null lister lists pictures_folder itself; a null worker decodes inline.
    // start_offset: see PictureCycler.
    PictureTexture(const Settings& settings, std::filesystem::path pictures_folder, MessageSink& messages,
                   PictureLister lister = nullptr, std::shared_ptr<PictureWorker> worker = nullptr,
                   int start_offset = 0);
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
    // Uploads the picture a seeding asked for once it has been decoded; the
    // session calls it on every tick. Nothing to do: nothing happens.
    void upload_ready();
    // True while a seeding's picture is still being decoded.
    bool waiting() const { return waiting_; }
    // Seedings whose picture wasn't decoded yet when they came.
    int late_pictures() const { return late_; }

    // Pictures are reduced while they are decoded to what a window of this
    // size needs (render/picture_reduce.h); before the first call, to the GL's
    // largest texture.
    void set_window_size(int width, int height);

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
    struct Decoding {
        std::string name;
        std::mutex mutex;  // guards the rest, written by the worker
        bool done = false;
        std::optional<RgbImage> image;
        std::vector<RecordingMessageSink::Message> messages;
    };
    PictureLimits limits() const;
    void request(const std::string& name);
    void prefetch();

    Settings settings_;  // only the picture fields are used
    std::filesystem::path folder_;
    MessageSink& messages_;
    PictureCycler cycler_;
    unsigned texture_ = 0;
    int max_side_ = 0;  // 0: the GL's largest texture
    std::shared_ptr<PictureWorker> worker_;
    std::shared_ptr<Decoding> next_;  // the picture asked for last
    bool waiting_ = false;
    int late_ = 0;
};

}  // namespace orvex
