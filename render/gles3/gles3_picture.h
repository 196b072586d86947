// The mipmap levels of a picture texture, made on the CPU the way the
// fixed-function path's texture build makes them, so that both renderers
// sample the same texels: the picture scaled to the nearest power of two on
// each side (a side stays when it is one, and from one and a half times a
// power of two on it goes up), never beyond the GL's largest texture, every
// result texel the mean of the source area under it; then each level half the
// one before, the mean of two by two texels, down to one texel.
#pragma once

#include <vector>

#include "picture/bmp_reader.h"

namespace orvex {

// The side a picture side is scaled to.
int texture_power_side(int side, int max_side);

// Level 0 first; none for an empty or short image.
std::vector<RgbImage> picture_mipmaps(const RgbImage& image, int max_side);

}  // namespace orvex
