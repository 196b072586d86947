#include "render/gl11/osmesa_surface.h"

#include <GL/osmesa.h>

#include "render/gl11/gl.h"

#if defined(__SANITIZE_ADDRESS__)
// OSMesa keeps the framebuffer record of every context it has made current in
// a list of its own that no call ever frees. The leak checker is told to look
// away from that library only; every client of this surface links this file.
extern "C" const char* __lsan_default_suppressions() { return "leak:libOSMesa.so\n"; }
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }
#endif

namespace orvex {

struct OsMesaSurface::Context {
    OSMesaContext handle;
};

namespace {

constexpr GLint kDepthBits = 24;

}  // namespace

OsMesaSurface::OsMesaSurface(int width, int height) : width_(width), height_(height) {
    OSMesaContext handle = OSMesaCreateContextExt(OSMESA_RGBA, kDepthBits, 0, 0, nullptr);
    if (handle == nullptr) {
        error_ = "could not create an OSMesa context";
        return;
    }
    context_ = new Context{handle};
    resize(width, height);
}

OsMesaSurface::~OsMesaSurface() {
    if (context_ == nullptr) return;
    OSMesaDestroyContext(context_->handle);
    delete context_;
}

bool OsMesaSurface::resize(int width, int height) {
    if (context_ == nullptr) return false;
    if (width < 1 || height < 1) {
        error_ = "the picture size must be at least 1 x 1";
        current_ = false;
        return false;
    }
    width_ = width;
    height_ = height;
    rgba_.assign(static_cast<std::size_t>(width) * height * 4, 0);
    return make_current();
}

bool OsMesaSurface::make_current() {
    current_ = OSMesaMakeCurrent(context_->handle, rgba_.data(), GL_UNSIGNED_BYTE, width_, height_) == GL_TRUE;
    if (!current_) error_ = "could not make the OSMesa context current at this size";
    return current_;
}

void* OsMesaSurface::gl_proc(const char* name) { return reinterpret_cast<void*>(OSMesaGetProcAddress(name)); }

void OsMesaSurface::finish() { glFinish(); }

Rgb8 OsMesaSurface::pixel(int x, int y) const {
    const std::uint8_t* p = &rgba_[(static_cast<std::size_t>(y) * width_ + x) * 4];
    return {p[0], p[1], p[2]};
}

std::vector<std::uint8_t> OsMesaSurface::rgb_top_down() const {
    std::vector<std::uint8_t> out;
    out.reserve(static_cast<std::size_t>(width_) * height_ * 3);
    for (int y = height_ - 1; y >= 0; --y)
        for (int x = 0; x < width_; ++x) {
            const Rgb8 p = pixel(x, y);
            out.insert(out.end(), {p.r, p.g, p.b});
        }
    return out;
}

}  // namespace orvex
