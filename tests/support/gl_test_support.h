// Shared pieces of the GL tests: an OSMesa surface per case, settings and
// fields built inline, and where a cell lands in the window.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/message_sink.h"
#include "config/settings.h"
#include "core/automaton.h"
#include "picture/bmp_reader.h"
#include "render/gl11/osmesa_surface.h"
#include "render/gl11/picture_texture.h"
#include "render/gl11/scene.h"
#include "seed/field_setup.h"
#include "tests/support/temp_folder.h"

namespace orvex::test {

inline Settings scene_settings(int style, int main_color = kColorBlue, int family = kFamilyLife, int lights = 0) {
    Settings s;
    s.DrawStyle = style;
    s.MainColor = main_color;
    s.Family = family;
    s.LightingNum = lights;
    s.field_size = 100;
    normalize_first_stage(s);
    normalize_second_stage(s);
    return s;
}

// Every cell live.
inline Automaton full_field(const Settings& s) {
    Automaton field(field_setup(s));
    for (int i = 0; i < field.field_size(); ++i)
        for (int j = 0; j < field.field_size(); ++j) field.set_cell(i, j, 1);
    return field;
}

// Window position (pixels, from the bottom left) of model point (x, y) on the cell plane.
struct WindowPoint {
    double x, y;
};

inline WindowPoint window_of(double mx, double my, int width, int height) {
    const double xf = static_cast<float>(static_cast<float>(width) / static_cast<float>(height) * 2.605f);
    const double ex = 10.0 * (mx - 0.5);
    const double ey = 8.7 * (my - 0.49);
    const double ndc_x = ex / 5.0;
    const double ndc_y = 4.0 * ey / (5.0 * xf);
    return {(ndc_x + 1.0) * width / 2.0, (ndc_y + 1.0) * height / 2.0};
}

inline WindowPoint cell_centre(int i, int j, int n, int width, int height) {
    return window_of(static_cast<double>(i) / n, static_cast<double>(j) / n, width, height);
}

inline bool is_black(const Rgb8& p) { return p.r == 0 && p.g == 0 && p.b == 0; }

inline ::testing::AssertionResult colour_near(const Rgb8& p, double r, double g, double b, int tolerance = 2) {
    auto off = [&](std::uint8_t got, double want) {
        return std::abs(int(got) - int(std::lround(want * 255.0))) > tolerance;
    };
    if (off(p.r, r) || off(p.g, g) || off(p.b, b))
        return ::testing::AssertionFailure()
               << "pixel (" << int(p.r) << ", " << int(p.g) << ", " << int(p.b) << ") is not near (" << r * 255 << ", "
               << g * 255 << ", " << b * 255 << ")";
    return ::testing::AssertionSuccess();
}

struct LitBox {
    int count = 0;
    int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;
};

inline LitBox lit_pixels(const OsMesaSurface& s) {
    LitBox box;
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x)
            if (!is_black(s.pixel(x, y))) {
                ++box.count;
                box.x0 = std::min(box.x0, x), box.x1 = std::max(box.x1, x);
                box.y0 = std::min(box.y0, y), box.y1 = std::max(box.y1, y);
            }
    return box;
}

// A scene drawn into an OSMesa surface of its own, with the picture texture
// the scene draws from: the settings' picture, loaded from pictures_folder at
// set-up as the saver does; the reader's messages are kept.
struct Drawn {
    std::unique_ptr<OsMesaSurface> surface;
    RecordingMessageSink messages;
    std::unique_ptr<PictureTexture> pictures;
    std::unique_ptr<Scene> scene;

    Drawn(const Settings& s, int width = 800, int height = 600, SceneServices services = {},
          std::filesystem::path pictures_folder = {})
        : surface(std::make_unique<OsMesaSurface>(width, height)) {
        if (!surface->ok()) throw std::runtime_error(surface->error());
        pictures = std::make_unique<PictureTexture>(s, std::move(pictures_folder), messages);
        services.pictures = pictures.get();
        scene = std::make_unique<Scene>(s, std::move(services));
        scene->GLSetupRC();
        pictures->load_first_picture();
        scene->GLResize(width, height);
    }
    ~Drawn() {
        scene->GLFree();
        pictures->free();
    }

    const OsMesaSurface& frame(const Automaton& field) {
        scene->GLRenderScene(field);
        surface->finish();
        return *surface;
    }
};

// A 24-bit BMP file of the image (bottom row first, as RgbImage).
inline void write_bmp(const std::filesystem::path& path, const RgbImage& image) {
    const int row = (image.width * 3 + 3) / 4 * 4;
    const std::uint32_t data_size = static_cast<std::uint32_t>(row * image.height);
    std::vector<std::uint8_t> b(54 + data_size, 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int k = 0; k < 4; ++k) b[at + k] = static_cast<std::uint8_t>(v >> (8 * k));
    };
    b[0] = 'B', b[1] = 'M';
    put32(2, static_cast<std::uint32_t>(b.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(image.width));
    put32(22, static_cast<std::uint32_t>(image.height));
    b[26] = 1, b[28] = 24;
    put32(34, data_size);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const std::uint8_t* p = &image.pixels[(static_cast<std::size_t>(y) * image.width + x) * 3];
            std::uint8_t* q = &b[54 + static_cast<std::size_t>(y) * row + x * 3];
            q[0] = p[2], q[1] = p[1], q[2] = p[0];
        }
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

}  // namespace orvex::test
