#include "host/x11/glx_window.h"

#include <EGL/eglext.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace orvex::x11 {

namespace {

// X reports errors asynchronously to one handler per process. It records what
// the window code needs to know: an access refused while an input mask was
// being selected, and any error on our windows, which means they are gone.
struct ErrorState {
    Window watched[2] = {0, 0};
    bool vanished = false;
    bool access_refused = false;
};
ErrorState g_errors;

int on_x_error(Display*, XErrorEvent* e) {
    if (e->error_code == BadAccess) {
        g_errors.access_refused = true;
        return 0;
    }
    for (Window w : g_errors.watched)
        if (w != 0 && e->resourceid == w) g_errors.vanished = true;
    // Errors on resources that belonged to a destroyed window (its GLX drawable)
    // come with other ids; once the window is gone every error is expected.
    if (e->error_code == BadWindow || e->error_code == BadDrawable) g_errors.vanished = true;
    return 0;
}

const int kVisualAttributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 1,   GLX_GREEN_SIZE, 1, GLX_BLUE_SIZE,
                                 1,        GLX_DEPTH_SIZE,   16,           None};

// Whether OpenGL can draw on windows of this visual as the saver needs.
bool gl_capable(Display* display, XVisualInfo* visual) {
    int use_gl = 0, double_buffer = 0, rgba = 0, depth = 0;
    if (glXGetConfig(display, visual, GLX_USE_GL, &use_gl) != 0) return false;
    glXGetConfig(display, visual, GLX_DOUBLEBUFFER, &double_buffer);
    glXGetConfig(display, visual, GLX_RGBA, &rgba);
    glXGetConfig(display, visual, GLX_DEPTH_SIZE, &depth);
    return use_gl && double_buffer && rgba && depth >= 16;
}

XVisualInfo* visual_by_id(Display* display, VisualID id, int screen) {
    XVisualInfo wanted{};
    wanted.visualid = id;
    wanted.screen = screen;
    int count = 0;
    return XGetVisualInfo(display, VisualIDMask | VisualScreenMask, &wanted, &count);
}

XVisualInfo* visual_of(Display* display, Visual* visual, int screen) {
    return visual_by_id(display, XVisualIDFromVisual(visual), screen);
}

const EGLint kConfigAttributes[] = {EGL_SURFACE_TYPE,
                                    EGL_WINDOW_BIT,
                                    EGL_RENDERABLE_TYPE,
                                    EGL_OPENGL_ES3_BIT,
                                    EGL_RED_SIZE,
                                    1,
                                    EGL_GREEN_SIZE,
                                    1,
                                    EGL_BLUE_SIZE,
                                    1,
                                    EGL_DEPTH_SIZE,
                                    16,
                                    EGL_NONE};

// The EGL configurations for the saver's OpenGL ES 3 windows, best first.
std::vector<EGLConfig> es_configs(EGLDisplay display) {
    EGLint count = 0;
    if (!eglChooseConfig(display, kConfigAttributes, nullptr, 0, &count) || count <= 0) return {};
    std::vector<EGLConfig> configs(static_cast<std::size_t>(count));
    eglChooseConfig(display, kConfigAttributes, configs.data(), count, &count);
    configs.resize(static_cast<std::size_t>(std::max(count, 0)));
    return configs;
}

EGLint visual_id_of(EGLDisplay display, EGLConfig config) {
    EGLint id = 0;
    eglGetConfigAttrib(display, config, EGL_NATIVE_VISUAL_ID, &id);
    return id;
}

}  // namespace

Window virtual_root(Display* display) {
    const Window root = DefaultRootWindow(display);
    const Atom vroot = XInternAtom(display, "__SWM_VROOT", False);
    Window root_return = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    Window found = root;
    if (XQueryTree(display, root, &root_return, &parent, &children, &count)) {
        for (unsigned k = 0; k < count && found == root; ++k) {
            Atom type = None;
            int format = 0;
            unsigned long items = 0, after = 0;
            unsigned char* data = nullptr;
            if (XGetWindowProperty(display, children[k], vroot, 0, 1, False, XA_WINDOW, &type, &format, &items, &after,
                                   &data) == Success &&
                type == XA_WINDOW && format == 32 && items == 1 && data != nullptr)
                found = *reinterpret_cast<Window*>(data);
            if (data != nullptr) XFree(data);
        }
        if (children != nullptr) XFree(children);
    }
    return found;
}

GlxWindow::GlxWindow(Display* display, const WindowTarget& target, const char* title, Api api)
    : display_(display), api_(api) {
    XSetErrorHandler(on_x_error);
    if (api_ == Api::kGles3) {
        egl_display_ = eglGetPlatformDisplay(EGL_PLATFORM_X11_KHR, display_, nullptr);
        EGLint major = 0, minor = 0;
        if (egl_display_ == EGL_NO_DISPLAY || !eglInitialize(egl_display_, &major, &minor)) {
            egl_display_ = EGL_NO_DISPLAY;
            error_ = "EGL cannot open the X display";
            return;
        }
        if (!eglBindAPI(EGL_OPENGL_ES_API) || es_configs(egl_display_).empty()) {
            error_ = "EGL offers no OpenGL ES 3 for windows with a depth buffer";
            return;
        }
    } else {
        int error_base = 0, event_base = 0;
        if (!glXQueryExtension(display_, &error_base, &event_base)) {
            error_ = "the X server has no GLX extension";
            return;
        }
    }
    switch (target.kind) {
        case WindowTarget::Kind::kOwn: open_own(title); break;
        case WindowTarget::Kind::kRoot: open_foreign(virtual_root(display_), "root"); break;
        case WindowTarget::Kind::kForeign: open_foreign(target.id, target.name); break;
    }
}

GlxWindow::~GlxWindow() {
    if (context_ != nullptr) {
        glXMakeCurrent(display_, None, nullptr);
        glXDestroyContext(display_, context_);
    }
    if (egl_display_ != EGL_NO_DISPLAY) {
        eglMakeCurrent(egl_display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        if (egl_context_ != EGL_NO_CONTEXT) eglDestroyContext(egl_display_, egl_context_);
        if (egl_surface_ != EGL_NO_SURFACE) eglDestroySurface(egl_display_, egl_surface_);
#if !defined(__SANITIZE_ADDRESS__)
        // Under the leak checker EGL stays open: ending it unloads Mesa's
        // driver, whose remaining allocations could then no longer be told
        // apart from ours (as with the X connection).
        eglTerminate(egl_display_);
        eglReleaseThread();
#endif
    }
    if (!g_errors.vanished) {
        if (child_ != 0) XDestroyWindow(display_, child_);
        if (own_ && target_ != 0) XDestroyWindow(display_, target_);
    }
    if (colormap_ != 0) XFreeColormap(display_, colormap_);
    g_errors.watched[0] = g_errors.watched[1] = 0;
    XSync(display_, False);
}

XVisualInfo* GlxWindow::choose_visual(int screen) {
    if (api_ == Api::kGl11) return glXChooseVisual(display_, screen, const_cast<int*>(kVisualAttributes));
    for (EGLConfig config : es_configs(egl_display_))
        if (XVisualInfo* visual =
                visual_by_id(display_, static_cast<VisualID>(visual_id_of(egl_display_, config)), screen))
            return visual;
    return nullptr;
}

bool GlxWindow::capable(XVisualInfo* visual) {
    if (api_ == Api::kGl11) return gl_capable(display_, visual);
    for (EGLConfig config : es_configs(egl_display_))
        if (static_cast<VisualID>(visual_id_of(egl_display_, config)) == visual->visualid) return true;
    return false;
}

bool GlxWindow::open_own(const char* title) {
    const int screen = DefaultScreen(display_);
    XVisualInfo* visual = choose_visual(screen);
    if (visual == nullptr) {
        error_ = "no OpenGL visual with double buffering and a depth buffer";
        return false;
    }
    const Window root = RootWindow(display_, screen);
    colormap_ = XCreateColormap(display_, root, visual->visual, AllocNone);
    XSetWindowAttributes a{};
    a.colormap = colormap_;
    a.background_pixel = BlackPixel(display_, screen);
    a.border_pixel = 0;
    a.event_mask = StructureNotifyMask | ButtonPressMask | ExposureMask;
    width_ = 800;
    height_ = 600;
    target_ = XCreateWindow(display_, root, 0, 0, static_cast<unsigned>(width_), static_cast<unsigned>(height_), 0,
                            visual->depth, InputOutput, visual->visual,
                            CWColormap | CWBackPixel | CWBorderPixel | CWEventMask, &a);
    own_ = true;
    drawable_ = target_;
    XStoreName(display_, target_, title);
    XClassHint hint{const_cast<char*>("orvex-hack"), const_cast<char*>("Orvex")};
    XSetClassHint(display_, target_, &hint);
    delete_window_ = XInternAtom(display_, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display_, target_, &delete_window_, 1);
    const bool made = make_context(visual);
    XFree(visual);
    XMapRaised(display_, target_);
    return made;
}

bool GlxWindow::open_foreign(Window target, const std::string& name) {
    target_ = target;
    g_errors.watched[0] = target;
    g_errors.vanished = false;
    // Events of the window we were given, its size and its end, before its
    // size is read: a resize in between is then reported, not lost.
    select_input(target, StructureNotifyMask);
    XWindowAttributes attributes{};
    const Status got = XGetWindowAttributes(display_, target, &attributes);
    XSync(display_, False);
    if (!got || g_errors.vanished) {
        // Never there, so not a window that ended: the caller reports it.
        g_errors.vanished = false;
        g_errors.watched[0] = 0;
        target_ = 0;
        error_ = "there is no window " + (name.empty() ? std::to_string(target) : name);
        return false;
    }
    width_ = attributes.width;
    height_ = attributes.height;

    const int screen = XScreenNumberOfScreen(attributes.screen);
    XVisualInfo* visual = visual_of(display_, attributes.visual, screen);
    if (visual != nullptr && capable(visual)) {
        drawable_ = target;
        select_input(target, StructureNotifyMask | ButtonPressMask | ExposureMask);
        const bool made = make_context(visual);
        XFree(visual);
        return made;
    }
    if (visual != nullptr) XFree(visual);
    // The child must share the window's screen: a visual or colour map of
    // another screen is a BadMatch.
    XVisualInfo* gl_visual = choose_visual(screen);
    if (gl_visual == nullptr) {
        error_ =
            "the window's visual has no OpenGL, and no OpenGL visual with double buffering is "
            "available";
        return false;
    }
    const bool made = make_child(target, attributes.screen, gl_visual) && make_context(gl_visual);
    XFree(gl_visual);
    return made;
}

bool GlxWindow::make_child(Window parent, Screen* screen, XVisualInfo* visual) {
    colormap_ = XCreateColormap(display_, RootWindowOfScreen(screen), visual->visual, AllocNone);
    XSetWindowAttributes a{};
    a.colormap = colormap_;
    a.background_pixel = BlackPixelOfScreen(screen);
    a.border_pixel = 0;
    a.event_mask = ButtonPressMask | ExposureMask;
    child_ = XCreateWindow(display_, parent, 0, 0, static_cast<unsigned>(width_), static_cast<unsigned>(height_), 0,
                           visual->depth, InputOutput, visual->visual,
                           CWColormap | CWBackPixel | CWBorderPixel | CWEventMask, &a);
    g_errors.watched[1] = child_;
    XMapWindow(display_, child_);
    XSync(display_, False);
    if (g_errors.vanished) {
        error_ = "the window went away while the saver was starting";
        return false;
    }
    drawable_ = child_;
    return true;
}

bool GlxWindow::make_context(XVisualInfo* visual) {
    if (api_ == Api::kGles3) {
        EGLConfig config = nullptr;
        for (EGLConfig c : es_configs(egl_display_))
            if (static_cast<VisualID>(visual_id_of(egl_display_, c)) == visual->visualid) {
                config = c;
                break;
            }
        const EGLint version[] = {EGL_CONTEXT_MAJOR_VERSION, 3, EGL_NONE};
        if (config != nullptr) {
            egl_surface_ = eglCreatePlatformWindowSurface(egl_display_, config, &drawable_, nullptr);
            egl_context_ = eglCreateContext(egl_display_, config, EGL_NO_CONTEXT, version);
        }
        if (egl_surface_ == EGL_NO_SURFACE || egl_context_ == EGL_NO_CONTEXT ||
            !eglMakeCurrent(egl_display_, egl_surface_, egl_surface_, egl_context_)) {
            if (egl_context_ != EGL_NO_CONTEXT) eglDestroyContext(egl_display_, egl_context_);
            egl_context_ = EGL_NO_CONTEXT;
            error_ = "could not make an OpenGL ES 3 context current on the window";
            return false;
        }
        return true;
    }
    context_ = glXCreateContext(display_, visual, nullptr, True);
    if (context_ == nullptr) {
        error_ = "could not create an OpenGL context";
        return false;
    }
    if (!glXMakeCurrent(display_, drawable_, context_)) {
        glXDestroyContext(display_, context_);
        context_ = nullptr;
        error_ = "could not make the OpenGL context current on the window";
        return false;
    }
    return true;
}

// Selects events on a window; when X refuses part of the mask (button presses
// that another client holds), the rest of it.
void GlxWindow::select_input(Window window, long mask) {
    g_errors.access_refused = false;
    XSelectInput(display_, window, mask);
    XSync(display_, False);
    if (g_errors.access_refused && (mask & ButtonPressMask)) {
        g_errors.access_refused = false;
        XSelectInput(display_, window, mask & ~ButtonPressMask);
        XSync(display_, False);
    }
}

bool GlxWindow::vanished() const { return g_errors.vanished; }

GlxWindow::Event GlxWindow::next_event() {
    while (XPending(display_) > 0) {
        XEvent e;
        XNextEvent(display_, &e);
        switch (e.type) {
            case ConfigureNotify:
                if (e.xconfigure.window != target_) break;
                if (e.xconfigure.width == width_ && e.xconfigure.height == height_) break;
                width_ = e.xconfigure.width;
                height_ = e.xconfigure.height;
                if (child_ != 0)
                    XResizeWindow(display_, child_, static_cast<unsigned>(width_), static_cast<unsigned>(height_));
                return Event::kResized;
            case DestroyNotify:
                if (e.xdestroywindow.window != target_) break;
                g_errors.vanished = true;
                return Event::kVanished;
            case ClientMessage:
                if (own_ && static_cast<Atom>(e.xclient.data.l[0]) == delete_window_) return Event::kClosed;
                break;
            case Expose:
                if (e.xexpose.count == 0) return Event::kExposed;  // the last of a series
                break;
            case ButtonPress: return Event::kClicked;
            default: break;
        }
    }
    return g_errors.vanished ? Event::kVanished : Event::kNone;
}

void GlxWindow::swap_buffers() {
    if (g_errors.vanished) return;
    if (api_ == Api::kGles3)
        eglSwapBuffers(egl_display_, egl_surface_);
    else
        glXSwapBuffers(display_, drawable_);
}

}  // namespace orvex::x11
