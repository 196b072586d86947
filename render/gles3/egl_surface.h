// A headless OpenGL ES 3.0 context for the native build: EGL on Mesa's
// surfaceless platform, drawing into a framebuffer object of its own, for the
// orvex tool and the tests. It plays the host's part (context, size) for the
// second renderer, as OsMesaSurface does for the first.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "render/gles3/gles3_api.h"

namespace orvex {

class EglSurface {
public:
    // Creates the display, an ES 3.0 context and a colour and depth target of
    // the size, and makes them current. Check ok(); error() says why not.
    EglSurface(int width, int height);
    ~EglSurface();
    EglSurface(const EglSurface&) = delete;
    EglSurface& operator=(const EglSurface&) = delete;

    // Finds ES entry points of the current context (eglGetProcAddress).
    static void* gl_proc(const char* name);

    bool ok() const { return ok_; }
    const std::string& error() const { return error_; }
    // Makes the context current again (after another GL in the process was).
    bool make_current();
    // Clears to black.
    void clear();
    int width() const { return width_; }
    int height() const { return height_; }

    // Waits for drawing to end.
    void finish();
    // Red, green, blue rows, the top row first.
    std::vector<std::uint8_t> rgb_top_down();

private:
    bool fail(const std::string& why);

    void* display_ = nullptr;
    void* context_ = nullptr;
    Gles3Api gl_;
    GLuint framebuffer_ = 0, colour_ = 0, depth_ = 0;
    int width_, height_;
    bool ok_ = false;
    std::string error_;
};

}  // namespace orvex
