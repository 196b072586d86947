#include "host/web/page_codecs.h"

#include <map>
#include <utility>

#include "picture/bmp_reader.h"
#include "picture/picture_codecs.h"
#include "picture/picture_decoder.h"

namespace orvex {

// JPEG and PNG reach the saver's decoder on the page only when the browser
// never saw them: the module has no decoder of its own for them.
CodecResult decode_with_platform(PictureInput&, const uint8_t*, std::size_t, const PictureLimits&) {
    CodecResult result;
    result.failure = kBmpConversionError;
    return result;
}

namespace web {

namespace {

struct Prepared {
    std::optional<RgbImage> image;
    const char* failure = nullptr;
};

std::map<std::string, Prepared>& prepared() {
    static std::map<std::string, Prepared> pictures;
    return pictures;
}

}  // namespace

DecodedPicture::DecodedPicture(std::string path, int width, int height, int max_side)
    : path_(std::move(path)), width_(width), height_(height) {
    if (width <= 0 || height <= 0 ||
        over_pixel_limit(static_cast<uint64_t>(width), static_cast<uint64_t>(height), kMaxPixels)) {
        height_ = 0;
        if (width > 0 && height > 0)
            remember_too_large(path_);
        else
            remember_undecodable(path_);
        return;
    }
    reducer_ =
        std::make_unique<BoxReducer>(width, height, reduced_side(width, max_side), reduced_side(height, max_side));
    rgb_.resize(static_cast<std::size_t>(width) * 3);
}

bool DecodedPicture::add_rows(int count, const std::uint8_t* rgba) {
    if (!reducer_ || count < 0 || count > rows_left()) return false;
    for (int i = 0; i < count; ++i, ++next_row_) {
        const std::uint8_t* src = rgba + static_cast<std::size_t>(i) * width_ * 4;
        for (int x = 0; x < width_; ++x) {
            rgb_[3 * static_cast<std::size_t>(x)] = src[4 * x];
            rgb_[3 * static_cast<std::size_t>(x) + 1] = src[4 * x + 1];
            rgb_[3 * static_cast<std::size_t>(x) + 2] = src[4 * x + 2];
        }
        reducer_->add_row(height_ - 1 - next_row_, rgb_.data());
    }
    if (rows_left() == 0) {
        prepared()[path_] = Prepared{reducer_->finish(), nullptr};
        reducer_.reset();
    }
    return true;
}

void DecodedPicture::abandon() {
    if (!reducer_) return;
    reducer_.reset();
    remember_undecodable(path_);
}

void remember_undecodable(const std::string& path) { prepared()[path] = Prepared{std::nullopt, kBmpConversionError}; }
void remember_too_large(const std::string& path) { prepared()[path] = Prepared{std::nullopt, kBmpOutOfMemory}; }
void forget_picture(const std::string& path) { prepared().erase(path); }
std::size_t prepared_pictures() { return prepared().size(); }

std::optional<RgbImage> page_load_picture(const std::filesystem::path& file, MessageSink& sink,
                                          const PictureLimits& limits) {
    const auto found = prepared().find(file.string());
    if (found == prepared().end()) return LoadPicture(file, sink, limits);
    if (found->second.image) {
        RgbImage image = std::move(*found->second.image);
        prepared().erase(found);
        // Kept no larger than the canvas needed, so this is at most a small reduction.
        return reduce_image(std::move(image), limits.max_side);
    }
    // A refusal stays known: asked for again, the file isn't decoded again.
    sink.show(kBmpErrorCaption, file.filename().u8string() + ": " + found->second.failure);
    return std::nullopt;
}

void PagePictureWorker::post_for(const std::filesystem::path& file, PictureJob job) {
    if (file.empty() || prepared().count(file.string()) != 0) {
        job_ = nullptr;
        job(never_);
        return;
    }
    wanted_ = file.string();
    job_ = std::move(job);
}

void PagePictureWorker::ready(const std::string& file) {
    if (!job_ || file != wanted_) {
        const auto found = prepared().find(file);
        if (found != prepared().end() && found->second.image) prepared().erase(found);
        return;
    }
    PictureJob job = std::move(job_);
    job_ = nullptr;
    job(never_);
}

}  // namespace web
}  // namespace orvex
