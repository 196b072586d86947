// Pictures in the page. The run asks for each picture through a
// PagePictureWorker, which holds the job until the page's script has the file
// ready: the browser's own decoders turn JPEGs, PNGs and the BMPs that stream
// into pixels in a worker of the script, off the animation's path, and the
// rows come back in bands that are reduced here as they come (DecodedPicture)
// to what the canvas can show. The job then takes the picture through
// page_load_picture, and nothing of it stays here. So only the picture being
// decoded and the one the run holds for its next seeding are ever in the
// module's memory, and the first frame waits for none.
//
// A BMP the browser can't or mustn't read goes to the saver's own reader,
// within the job, which gives the reader's verdict on it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/message_sink.h"
#include "picture/picture_reduce.h"
#include "picture/picture_worker.h"

namespace orvex::web {

// A file the browser is decoding into width x height RGBA pixels (alpha
// already laid over black), which come in bands of rows from the top; they are
// reduced as they come so that neither side exceeds max_side (0: full size),
// and the picture is ready when the last row is in.
class DecodedPicture {
public:
    DecodedPicture(std::string path, int width, int height, int max_side);

    // False when the picture can't be kept (too large: then refused as the
    // native decoders refuse it).
    bool ok() const { return reducer_ != nullptr; }
    // The next `count` rows; the picture is ready after the last. False when
    // more rows come than the picture has, or it isn't ok().
    bool add_rows(int count, const std::uint8_t* rgba);
    int rows_left() const { return height_ - next_row_; }
    // The rest will never come: the file is damaged.
    void abandon();

private:
    std::string path_;
    int width_, height_, next_row_ = 0;
    std::unique_ptr<BoxReducer> reducer_;
    std::vector<std::uint8_t> rgb_;
};

// The browser could not decode the file (a JPEG's or PNG's only decoder).
void remember_undecodable(const std::string& path);
// The header claims width x height pixels, over the limit: refused unread.
void remember_too_large(const std::string& path);
// The file was replaced: whatever was known of it goes.
void forget_picture(const std::string& path);
// Pictures decoded or refused and not yet taken.
std::size_t prepared_pictures();

// The run's picture loader: the picture prepared for this file, taken, or its
// failure as the saver's message; a file nothing was prepared for is read by
// the saver's own decoder.
std::optional<RgbImage> page_load_picture(const std::filesystem::path& file, MessageSink& sink,
                                          const PictureLimits& limits);

class PagePictureWorker final : public PictureWorker {
public:
    void post(PictureJob job) override { post_for({}, std::move(job)); }
    // A file prepared already (or no file) is loaded at once; any other waits
    // for ready(), in place of the one waiting before.
    void post_for(const std::filesystem::path& file, PictureJob job) override;
    bool defers() const override { return true; }

    // The file the waiting job wants ("" for none).
    std::string wanted() const { return job_ ? wanted_ : std::string(); }
    // The script has done what it can for this file: the job runs if it
    // still wants it (else a picture decoded for it is not kept).
    void ready(const std::string& file);

private:
    std::string wanted_;
    PictureJob job_;
    std::atomic<bool> never_{false};
};

}  // namespace orvex::web
