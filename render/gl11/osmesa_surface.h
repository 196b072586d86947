// A headless rendering context for the native build: an OSMesa context
// drawing into memory, for the orvex tool and the tests. It plays the host's
// part (context, size); the scene draws into it as into a window.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace orvex {

struct Rgb8 {
    std::uint8_t r, g, b;
};

class OsMesaSurface {
public:
    // Creates the context with a depth buffer and makes it current at the size.
    // Check ok() before drawing; error() says why it failed.
    OsMesaSurface(int width, int height);
    ~OsMesaSurface();
    OsMesaSurface(const OsMesaSurface&) = delete;
    OsMesaSurface& operator=(const OsMesaSurface&) = delete;

    // Finds OpenGL entry points of the current OSMesa context (for SceneServices::gl_procs).
    static void* gl_proc(const char* name);

    bool ok() const { return context_ != nullptr && current_; }
    const std::string& error() const { return error_; }

    // New size; the contents are undefined until the next frame.
    bool resize(int width, int height);
    int width() const { return width_; }
    int height() const { return height_; }

    // Waits for drawing to end; pixel (x, y) counts y from the bottom row.
    void finish();
    Rgb8 pixel(int x, int y) const;
    // Red, green, blue rows, the top row first (image file order).
    std::vector<std::uint8_t> rgb_top_down() const;

private:
    bool make_current();

    struct Context;
    Context* context_ = nullptr;
    bool current_ = false;
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint8_t> rgba_;  // bottom row first
    std::string error_;
};

}  // namespace orvex
