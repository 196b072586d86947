#include "render/gles3/gles3_picture.h"

#include <algorithm>
#include <cstdint>

namespace orvex {

namespace {

// Area-weighted mean of the source texels under each result texel.
RgbImage scale_by_area(const RgbImage& in, int width, int height) {
    if (in.width == width && in.height == height) return in;
    RgbImage out;
    out.width = width;
    out.height = height;
    out.pixels.assign(static_cast<std::size_t>(width) * height * 3, 0);
    const double sx = static_cast<double>(in.width) / width, sy = static_cast<double>(in.height) / height;
    for (int y = 0; y < height; ++y) {
        const double y0 = y * sy, y1 = (y + 1) * sy;
        for (int x = 0; x < width; ++x) {
            const double x0 = x * sx, x1 = (x + 1) * sx;
            double sum[3] = {0.0, 0.0, 0.0}, area = 0.0;
            for (int v = static_cast<int>(y0); v < in.height && v < y1; ++v) {
                const double wy = std::min<double>(v + 1, y1) - std::max<double>(v, y0);
                for (int u = static_cast<int>(x0); u < in.width && u < x1; ++u) {
                    const double w = wy * (std::min<double>(u + 1, x1) - std::max<double>(u, x0));
                    if (w <= 0.0) continue;
                    const std::uint8_t* p = &in.pixels[(static_cast<std::size_t>(v) * in.width + u) * 3];
                    for (int c = 0; c < 3; ++c) sum[c] += w * p[c];
                    area += w;
                }
            }
            std::uint8_t* q = &out.pixels[(static_cast<std::size_t>(y) * width + x) * 3];
            for (int c = 0; c < 3; ++c) q[c] = static_cast<std::uint8_t>(std::min(255.0, sum[c] / area + 0.5));
        }
    }
    return out;
}

// The next level: two by two texels to one, rounded; a side of one stays and
// pairs along the other are averaged.
RgbImage halve(const RgbImage& in) {
    RgbImage out;
    out.width = std::max(1, in.width / 2);
    out.height = std::max(1, in.height / 2);
    out.pixels.resize(static_cast<std::size_t>(out.width) * out.height * 3);
    const int dx = in.width > 1 ? 1 : 0, dy = in.height > 1 ? 1 : 0;
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x)
            for (int c = 0; c < 3; ++c) {
                auto at = [&](int u, int v) {
                    return int{in.pixels[(static_cast<std::size_t>(v) * in.width + u) * 3 + c]};
                };
                const int u = x * (1 + dx), v = y * (1 + dy);
                const int value = dx && dy ? (at(u, v) + at(u + 1, v) + at(u, v + 1) + at(u + 1, v + 1) + 2) / 4
                                           : (at(u, v) + at(u + dx, v + dy)) / 2;
                out.pixels[(static_cast<std::size_t>(y) * out.width + x) * 3 + c] = static_cast<std::uint8_t>(value);
            }
    return out;
}

}  // namespace

int texture_power_side(int side, int max_side) {
    if (side < 1) return 0;
    int power = 1;
    for (unsigned v = static_cast<unsigned>(side);; v >>= 1, power *= 2) {
        if (v == 1) break;
        if (v == 3) {
            power *= 4;
            break;
        }
    }
    if (max_side > 0)
        while (power > max_side && power > 1) power /= 2;
    return power;
}

std::vector<RgbImage> picture_mipmaps(const RgbImage& image, int max_side) {
    std::vector<RgbImage> levels;
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() < static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 3)
        return levels;
    levels.push_back(
        scale_by_area(image, texture_power_side(image.width, max_side), texture_power_side(image.height, max_side)));
    while (levels.back().width > 1 || levels.back().height > 1) levels.push_back(halve(levels.back()));
    return levels;
}

}  // namespace orvex
