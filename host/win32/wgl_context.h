// The simulation window's OpenGL rendering context on its device context.
//
// create() chooses the pixel format nearest to the requested descriptor, sets
// it, writes the granted format back into the descriptor, then creates the
// context and makes it current. Any step may fail; the window then runs without
// a context and draws nothing but black.
#pragma once

#include <windows.h>

namespace orvex::win32 {

// RGBA, 32 colour bits, 32 depth bits, double buffered, drawn to a window.
PIXELFORMATDESCRIPTOR saver_pixel_format();

class WglContext {
public:
    WglContext() = default;
    WglContext(const WglContext&) = delete;
    WglContext& operator=(const WglContext&) = delete;
    ~WglContext() { destroy(); }

    bool create(HDC dc, PIXELFORMATDESCRIPTOR& pfd);
    // Makes no context current, then deletes it.
    void destroy();
    bool valid() const { return context_ != nullptr; }
    // Makes this context current again (several windows, one thread).
    void make_current() const;
    void swap_buffers() const;

private:
    HDC dc_ = nullptr;
    HGLRC context_ = nullptr;
};

}  // namespace orvex::win32
