// JPEG and PNG in the page: the browser's own decoders (createImageBitmap, in
// the page's script, which does not block the animation) turn each such file
// into pixels before the run needs it; the picture decoder then finds them
// here by the file's bytes, and reduces them as it reduces every picture.
#pragma once

#include <cstddef>
#include <cstdint>

namespace orvex::web {

// The browser decoded the file `file` into width x height RGBA pixels, top
// row first (alpha already laid over black).
void remember_decoded(const std::uint8_t* file, std::size_t size, int width, int height,
                      const std::uint8_t* rgba_top_down);
// The browser could not decode the file: a damaged picture.
void remember_undecodable(const std::uint8_t* file, std::size_t size);
// Pictures remembered, decoded or not.
std::size_t remembered_pictures();

}  // namespace orvex::web
