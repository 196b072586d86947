// When each picture of the field is decoded and shown, without any GL: the
// running state of "Picture On" (TextureFlag) and "Picture Cycling"
// (Texture_Renew), the cycle through the pictures folder (PictureCycler), and
// the decoding on a PictureWorker. Showing a decoded picture is left to an
// upload function that a renderer gives (render/gl11/picture_texture.h for
// OpenGL 1.1); it says whether the picture could be shown.
//
// A picture that can't be loaded switches pictures off for the rest of the
// run; fewer than two listed pictures switch cycling off.
//
// With cycling, the next picture of the cycle is asked for as soon as the
// current one is shown. A seeding whose picture is decoded shows it at once;
// one whose picture is still being decoded keeps the previous picture until
// upload_ready() finds it done, and seedings that come meanwhile keep it too
// and don't move the cycle on: the picture under way is shown, and the cycle
// goes on from it. So seedings faster than the decoding skip pictures, never
// starve them, and the worker never holds more than the one job. The messages
// of a picture decoded on the worker (a damaged file) are passed on from the
// calling thread, once it is shown.
//
// The picture named at start-up is decoded within load_first_picture (by a
// worker that defers, it is asked for there and shown when it comes); a
// seeding that names the picture already shown decodes nothing.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "base/message_sink.h"
#include "config/settings.h"
#include "picture/bmp_reader.h"
#include "picture/picture_reduce.h"
#include "picture/picture_worker.h"
#include "picture/pictures.h"

namespace orvex {

// Decodes one picture file (LoadPicture, picture/picture_decoder.h).
using PictureLoader =
    std::function<std::optional<RgbImage>(const std::filesystem::path&, MessageSink&, const PictureLimits&)>;
// Shows a decoded picture; false when it couldn't.
using PictureUpload = std::function<bool(const RgbImage&)>;

class PictureSchedule {
public:
    // Takes TextureFlag, Texture_Renew and picture_name from the settings. A
    // null lister lists pictures_folder itself; a null worker decodes inline;
    // a null loader is LoadPicture. start_offset: see PictureCycler.
    PictureSchedule(const Settings& settings, std::filesystem::path pictures_folder, MessageSink& messages,
                    PictureUpload upload, PictureLister lister = nullptr,
                    std::shared_ptr<PictureWorker> worker = nullptr, int start_offset = 0,
                    PictureLoader loader = nullptr);
    PictureSchedule(const PictureSchedule&) = delete;
    PictureSchedule& operator=(const PictureSchedule&) = delete;

    // Start of a run: shows the picture named in the settings when pictures
    // are on; a failure turns them off.
    void load_first_picture();
    // Start of a run, before the first seed: lists the folder when cycling is
    // on, and asks for the picture the first seeding will want.
    void list_pictures();
    // First step of every seeding.
    void picture_step();
    // Shows the picture a seeding asked for once it has been decoded; called
    // on every tick. Nothing to do: nothing happens.
    void upload_ready();

    // Decodes picture_name inline and shows it: 1 when it could, else 0.
    int LoadGLTextures();
    // The picture on show once more, for a renderer built anew; through the
    // worker when it defers.
    void reload();

    // Pictures are reduced while they are decoded to what a window of this
    // size needs, never above the renderer's largest texture (0: no limit).
    // A window without area (minimised) keeps the size before.
    void set_window_size(int width, int height);
    void set_max_texture_size(int side) { max_texture_ = side; }
    PictureLimits limits() const;

    // True while a seeding's picture is still being decoded.
    bool waiting() const { return waiting_; }
    // Seedings whose picture wasn't decoded yet when they came.
    int late_pictures() const { return late_; }
    // Pictures shown so far.
    int shown_pictures() const { return shown_count_; }
    int TextureFlag() const { return settings_.TextureFlag; }
    int Texture_Renew() const { return settings_.Texture_Renew; }
    const std::string& picture_name() const { return settings_.picture_name; }
    const PictureCycler& cycler() const { return cycler_; }

private:
    struct Decoding {
        std::string name;
        std::mutex mutex;  // guards the rest, written by the worker
        bool done = false;
        std::optional<RgbImage> image;
        std::vector<RecordingMessageSink::Message> messages;
    };
    bool show(const std::optional<RgbImage>& image, const std::string& name);
    void request(const std::string& name);
    // Asks for the picture and shows it as soon as it is decoded.
    void wait_for(const std::string& name);
    void prefetch();

    Settings settings_;  // only the picture fields are used
    std::filesystem::path folder_;
    MessageSink& messages_;
    PictureUpload upload_;
    PictureCycler cycler_;
    std::shared_ptr<PictureWorker> worker_;
    PictureLoader loader_;
    int max_texture_ = 0;
    int max_side_ = 0;                // 0: the largest texture
    std::string shown_;               // the picture on show
    std::shared_ptr<Decoding> next_;  // the picture asked for last
    bool waiting_ = false;
    int late_ = 0;
    int shown_count_ = 0;
};

}  // namespace orvex
