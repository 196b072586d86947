// JPEG and PNG in the page: the browser's own decoders (createImageBitmap, in
// a worker of the page's script, so the animation goes on) turn each such file
// into pixels before the run needs it. They are reduced here as they come, band
// by band, to the size the canvas can show, so that neither the module's memory
// nor the run's tick ever holds the full-size picture; the picture decoder then
// finds them here by the file's bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "render/picture_reduce.h"

namespace orvex::web {

// A file the browser is decoding into width x height RGBA pixels (alpha
// already laid over black), which come in bands of rows from the top; they are
// reduced as they come so that neither side exceeds max_side (0: full size),
// and the picture is remembered when the last row is in.
class DecodedPicture {
public:
    DecodedPicture(const std::uint8_t* file, std::size_t size, int width, int height, int max_side);

    // False when the picture can't be kept (too large); it is then remembered
    // as damaged.
    bool ok() const { return reducer_ != nullptr; }
    // The next `count` rows; the picture is remembered after the last. False
    // when more rows come than the picture has, or it isn't ok().
    bool add_rows(int count, const std::uint8_t* rgba);
    // Rows still to come.
    int rows_left() const { return height_ - next_row_; }
    // The rest will never come: the picture is remembered as damaged.
    void abandon();

private:
    std::vector<std::uint8_t> file_;
    int width_, height_, next_row_ = 0;
    std::unique_ptr<BoxReducer> reducer_;
    std::vector<std::uint8_t> rgb_;
};
// The browser could not decode the file: a damaged picture.
void remember_undecodable(const std::uint8_t* file, std::size_t size);
// The file's header claims more pixels than the limit: refused unread, as the
// native decoders refuse it ("Out of memory."), and nothing kept but its size.
void remember_too_large(const std::uint8_t* file, std::size_t size, int64_t width, int64_t height);
// Pictures remembered, decoded or not.
std::size_t remembered_pictures();

}  // namespace orvex::web
