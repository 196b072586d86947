// JPEG and PNG in the page: the browser's own decoders (createImageBitmap, in
// the page's script, which does not block the animation) turn each such file
// into pixels before the run needs it. They are reduced here at once, row
// by row, to the size the canvas can show, so that neither the module's memory
// nor the run's tick ever holds the full-size picture; the picture decoder then
// finds them here by the file's bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

namespace orvex::web {

// Copies `count` rows of RGBA pixels, from row `first` counted from the top,
// into `out`; false when they can't be had.
using RgbaRows = std::function<bool(int first, int count, std::uint8_t* out)>;

// The browser decoded the file `file` into width x height RGBA pixels (alpha
// already laid over black), read through `rows`; they are kept reduced so that
// neither side exceeds max_side (0: full size).
void remember_decoded(const std::uint8_t* file, std::size_t size, int width, int height, int max_side,
                      const RgbaRows& rows);
// The browser could not decode the file: a damaged picture.
void remember_undecodable(const std::uint8_t* file, std::size_t size);
// Pictures remembered, decoded or not.
std::size_t remembered_pictures();

}  // namespace orvex::web
