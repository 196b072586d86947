#include "host/win32/wgl_context.h"

namespace orvex::win32 {

PIXELFORMATDESCRIPTOR saver_pixel_format() {
    PIXELFORMATDESCRIPTOR pfd{};
    pfd.nSize = sizeof(PIXELFORMATDESCRIPTOR);
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 32;
    pfd.cDepthBits = 32;
    pfd.iLayerType = PFD_MAIN_PLANE;
    return pfd;
}

bool WglContext::create(HDC dc, PIXELFORMATDESCRIPTOR& pfd) {
    destroy();
    if (!dc) return false;
    const int format = ChoosePixelFormat(dc, &pfd);
    if (format == 0 || !SetPixelFormat(dc, format, &pfd)) return false;
    DescribePixelFormat(dc, format, sizeof(pfd), &pfd);
    HGLRC context = wglCreateContext(dc);
    if (!context) return false;
    if (!wglMakeCurrent(dc, context)) {
        wglDeleteContext(context);
        return false;
    }
    dc_ = dc;
    context_ = context;
    return true;
}

void WglContext::destroy() {
    if (!context_) return;
    wglMakeCurrent(dc_, nullptr);
    wglDeleteContext(context_);
    context_ = nullptr;
    dc_ = nullptr;
}

void WglContext::swap_buffers() const {
    if (context_) SwapBuffers(dc_);
}

void WglContext::make_current() const {
    if (context_ && wglGetCurrentContext() != context_) wglMakeCurrent(dc_, context_);
}

}  // namespace orvex::win32
