#include "render/gles3/egl_surface.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

namespace orvex {

namespace {

EGLDisplay surfaceless_display() {
    auto get_display = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (get_display == nullptr) return EGL_NO_DISPLAY;
    return get_display(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
}

}  // namespace

void* EglSurface::gl_proc(const char* name) { return reinterpret_cast<void*>(eglGetProcAddress(name)); }

bool EglSurface::fail(const std::string& why) {
    error_ = why;
    ok_ = false;
    return false;
}

EglSurface::EglSurface(int width, int height) : width_(width), height_(height) {
    if (width < 1 || height < 1) {
        fail("the picture size must be at least 1 x 1");
        return;
    }
    EGLDisplay display = surfaceless_display();
    EGLint major = 0, minor = 0;
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, &major, &minor)) {
        fail("could not open an EGL display on the surfaceless platform");
        return;
    }
    display_ = display;
    if (!eglBindAPI(EGL_OPENGL_ES_API)) {
        fail("EGL offers no OpenGL ES");
        return;
    }
    const EGLint config_wanted[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_ES3_BIT, EGL_NONE};
    EGLConfig config = nullptr;
    EGLint configs = 0;
    eglChooseConfig(display, config_wanted, &config, 1, &configs);
    const EGLint context_wanted[] = {EGL_CONTEXT_MAJOR_VERSION, 3, EGL_CONTEXT_MINOR_VERSION, 0, EGL_NONE};
    EGLContext context =
        eglCreateContext(display, configs > 0 ? config : EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, context_wanted);
    if (context == EGL_NO_CONTEXT) {
        fail("could not create an OpenGL ES 3.0 context");
        return;
    }
    context_ = context;
    if (!make_current()) return;
    std::string missing;
    if (!gl_.load(gl_proc, &missing)) {
        fail("the OpenGL ES library lacks " + missing);
        return;
    }
    gl_.GenFramebuffers(1, &framebuffer_);
    gl_.BindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    gl_.GenRenderbuffers(1, &colour_);
    gl_.BindRenderbuffer(GL_RENDERBUFFER, colour_);
    gl_.RenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    gl_.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour_);
    gl_.GenRenderbuffers(1, &depth_);
    gl_.BindRenderbuffer(GL_RENDERBUFFER, depth_);
    gl_.RenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    gl_.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth_);
    if (gl_.CheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        fail("the OpenGL ES framebuffer of " + std::to_string(width) + " x " + std::to_string(height) +
             " is not complete");
        return;
    }
    gl_.Viewport(0, 0, width, height);
    gl_.ClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    gl_.Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    ok_ = true;
}

EglSurface::~EglSurface() {
    if (display_ == nullptr) return;
    if (context_ != nullptr && make_current() && gl_.DeleteFramebuffers != nullptr) {
        gl_.DeleteFramebuffers(1, &framebuffer_);
        const GLuint buffers[2] = {colour_, depth_};
        gl_.DeleteRenderbuffers(2, buffers);
    }
    eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (context_ != nullptr) eglDestroyContext(display_, context_);
    // The display is the process's one surfaceless display, which every
    // surface shares; it stays initialised, and the driver loaded, until exit.
    eglReleaseThread();
}

// Released first, so that the driver binds the context afresh even when EGL
// believes it current while another GL of the process has taken the thread.
bool EglSurface::make_current() {
    eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (!eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_))
        return fail("could not make the OpenGL ES context current");
    if (gl_.BindFramebuffer != nullptr) gl_.BindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    return true;
}

void EglSurface::finish() {
    if (ok_) gl_.Finish();
}

void EglSurface::clear() {
    if (!ok_) return;
    gl_.ClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    gl_.Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

std::vector<std::uint8_t> EglSurface::rgb_top_down() {
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(width_) * height_ * 4);
    std::vector<std::uint8_t> out;
    if (!ok_) return out;
    gl_.Finish();
    gl_.PixelStorei(GL_PACK_ALIGNMENT, 1);
    gl_.ReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    out.reserve(static_cast<std::size_t>(width_) * height_ * 3);
    for (int y = height_ - 1; y >= 0; --y)
        for (int x = 0; x < width_; ++x) {
            const std::uint8_t* p = &rgba[(static_cast<std::size_t>(y) * width_ + x) * 4];
            out.insert(out.end(), {p[0], p[1], p[2]});
        }
    return out;
}

}  // namespace orvex
