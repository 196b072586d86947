#include "picture/picture_schedule.h"

#include <utility>

#include "config/file_names.h"
#include "picture/picture_decoder.h"

namespace orvex {

PictureSchedule::PictureSchedule(const Settings& settings, std::filesystem::path pictures_folder, MessageSink& messages,
                                 PictureUpload upload, PictureLister lister, std::shared_ptr<PictureWorker> worker,
                                 int start_offset, PictureLoader loader)
    : settings_(settings),
      folder_(std::move(pictures_folder)),
      messages_(messages),
      upload_(std::move(upload)),
      cycler_(lister ? std::move(lister) : folder_lister(folder_), start_offset),
      worker_(worker ? std::move(worker) : std::make_shared<InlinePictureWorker>()),
      loader_(loader ? std::move(loader) : PictureLoader(LoadPicture)) {}

void PictureSchedule::load_first_picture() {
    if (!settings_.TextureFlag) return;
    if (!worker_->defers()) {
        if (LoadGLTextures() == 0) settings_.TextureFlag = 0;
        return;
    }
    if (settings_.picture_name.empty()) {
        settings_.TextureFlag = 0;
        return;
    }
    wait_for(settings_.picture_name);
}

void PictureSchedule::reload() {
    if (!settings_.TextureFlag) return;
    if (!worker_->defers()) {
        LoadGLTextures();
        return;
    }
    if (waiting_) return;  // the picture under way comes to the new renderer
    shown_.clear();
    wait_for(settings_.picture_name);
}

void PictureSchedule::wait_for(const std::string& name) {
    request(name);
    waiting_ = true;
    upload_ready();
}

void PictureSchedule::list_pictures() {
    if (settings_.Texture_Renew == 1) cycler_.Find_Pictures(settings_);
    prefetch();
}

void PictureSchedule::picture_step() {
    if (waiting_) {  // the picture under way is shown first, and the cycle goes on from it
        // The first picture, asked for before the first seeding: that seeding lands on it.
        if (next_ && cycler_.peek_next(settings_) == next_->name && settings_.Texture_Renew == 1)
            cycler_.advance_for_seeding(settings_);
        else
            ++late_;
        return;
    }
    cycler_.advance_for_seeding(settings_);
    if (settings_.Texture_Renew != 1 || settings_.TextureFlag != 1) return;
    if (settings_.picture_name == shown_) {
        prefetch();
        return;
    }
    wait_for(settings_.picture_name);
    if (waiting_) ++late_;
}

void PictureSchedule::upload_ready() {
    if (!waiting_ || !next_) return;
    std::optional<RgbImage> image;
    std::vector<RecordingMessageSink::Message> said;
    {
        std::lock_guard<std::mutex> lock(next_->mutex);
        if (!next_->done) return;
        image = std::move(next_->image);
        said = std::move(next_->messages);
    }
    const std::string name = std::move(next_->name);
    next_.reset();
    waiting_ = false;
    if (!show(image, name)) settings_.TextureFlag = 0;
    for (const auto& m : said) messages_.show(m.caption, m.text);
    prefetch();
}

bool PictureSchedule::show(const std::optional<RgbImage>& image, const std::string& name) {
    if (!image || !upload_(*image)) return false;
    shown_ = name;
    ++shown_count_;
    return true;
}

void PictureSchedule::prefetch() {
    if (waiting_) return;  // never in place of the picture a seeding waits for
    if (settings_.Texture_Renew != 1 || settings_.TextureFlag != 1 || cycler_.count() == 0) return;
    const std::string name = cycler_.peek_next(settings_);
    if (name != shown_) request(name);
}

void PictureSchedule::request(const std::string& name) {
    if (next_ && next_->name == name) return;
    auto job = std::make_shared<Decoding>();
    job->name = name;
    next_ = job;
    const std::filesystem::path path = name.empty() ? std::filesystem::path() : path_for_name(folder_, name);
    worker_->post_for(path, [job, path, limits = limits(), loader = loader_](const std::atomic<bool>& cancel) {
        PictureLimits cancellable = limits;
        cancellable.cancel = &cancel;
        RecordingMessageSink said;
        std::optional<RgbImage> image = loader(path, said, cancellable);
        std::lock_guard<std::mutex> lock(job->mutex);
        job->image = std::move(image);
        job->messages = std::move(said.messages);
        job->done = true;
    });
}

int PictureSchedule::LoadGLTextures() {
    if (settings_.picture_name.empty()) return 0;
    return show(loader_(path_for_name(folder_, settings_.picture_name), messages_, limits()), settings_.picture_name)
               ? 1
               : 0;
}

void PictureSchedule::set_window_size(int width, int height) {
    if (width <= 0 || height <= 0) return;
    max_side_ = texture_side_for_window(width, height, max_texture_);
}

PictureLimits PictureSchedule::limits() const {
    PictureLimits limits;
    limits.max_side = max_side_ != 0 ? max_side_ : max_texture_;
    return limits;
}

}  // namespace orvex
