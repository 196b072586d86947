#include "host/x11/glx_window.h"

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

// Whether GLX makes OpenGL ES contexts here, and the function that makes them.
PFNGLXCREATECONTEXTATTRIBSARBPROC es_context_maker(Display* display, int screen) {
    const char* extensions = glXQueryExtensionsString(display, screen);
    if (extensions == nullptr) return nullptr;
    const std::string names = std::string(" ") + extensions + " ";
    if (names.find(" GLX_EXT_create_context_es2_profile ") == std::string::npos ||
        names.find(" GLX_ARB_create_context ") == std::string::npos)
        return nullptr;
    return reinterpret_cast<PFNGLXCREATECONTEXTATTRIBSARBPROC>(
        glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXCreateContextAttribsARB")));
}

// The frame buffer configuration behind a visual; null when GLX has none.
GLXFBConfig config_of(Display* display, const XVisualInfo* visual) {
    int count = 0;
    GLXFBConfig* configs = glXGetFBConfigs(display, visual->screen, &count);
    GLXFBConfig found = nullptr;
    for (int k = 0; k < count && found == nullptr; ++k) {
        int id = 0;
        if (glXGetFBConfigAttrib(display, configs[k], GLX_VISUAL_ID, &id) == Success &&
            static_cast<VisualID>(id) == visual->visualid)
            found = configs[k];
    }
    if (configs != nullptr) XFree(configs);
    return found;
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
    int error_base = 0, event_base = 0;
    if (!glXQueryExtension(display_, &error_base, &event_base)) {
        error_ = "the X server has no GLX extension";
        return;
    }
    if (api_ == Api::kGles3 && es_context_maker(display_, DefaultScreen(display_)) == nullptr) {
        error_ = "GLX makes no OpenGL ES contexts here";
        return;
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
    if (!g_errors.vanished) {
        if (child_ != 0) XDestroyWindow(display_, child_);
        if (own_ && target_ != 0) XDestroyWindow(display_, target_);
    }
    if (colormap_ != 0) XFreeColormap(display_, colormap_);
    g_errors.watched[0] = g_errors.watched[1] = 0;
    XSync(display_, False);
    // Errors about the windows just taken down are expected; a window made
    // after this one (OpenGL 1.1 after a failed ES 3 try) starts clean.
    g_errors.vanished = false;
}

XVisualInfo* GlxWindow::choose_visual(int screen) {
    return glXChooseVisual(display_, screen, const_cast<int*>(kVisualAttributes));
}

bool GlxWindow::capable(XVisualInfo* visual) {
    return gl_capable(display_, visual) && (api_ == Api::kGl11 || config_of(display_, visual) != nullptr);
}

bool GlxWindow::open_own(const char* title) {
    const int screen = DefaultScreen(display_);
    XVisualInfo* visual = choose_visual(screen);
    if (visual == nullptr) {
        error_ = "no OpenGL visual with double buffering and a depth buffer";
        return false;
    }
    // The context comes first: where the GL can't make one, no window is
    // shown and taken down again before the caller tries another API.
    if (!create_context(visual)) {
        XFree(visual);
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
    XFree(visual);
    if (!make_current()) return false;
    XMapRaised(display_, target_);
    return true;
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
        const bool made = create_context(visual) && make_current();
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
    const bool made = create_context(gl_visual) && make_child(target, attributes.screen, gl_visual) && make_current();
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

bool GlxWindow::create_context(XVisualInfo* visual) {
    if (api_ == Api::kGles3) {
        // OpenGL ES 3.0 on the visual's configuration. A GL that can't make
        // one says so with an X error, which the handler above lets pass.
        const int attributes[] = {
            GLX_CONTEXT_MAJOR_VERSION_ARB,   3,   GLX_CONTEXT_MINOR_VERSION_ARB, 0, GLX_CONTEXT_PROFILE_MASK_ARB,
            GLX_CONTEXT_ES2_PROFILE_BIT_EXT, None};
        const PFNGLXCREATECONTEXTATTRIBSARBPROC make = es_context_maker(display_, visual->screen);
        const GLXFBConfig config = make != nullptr ? config_of(display_, visual) : nullptr;
        if (config != nullptr) context_ = make(display_, config, nullptr, True, attributes);
        XSync(display_, False);
        if (context_ == nullptr) {
            error_ = "GLX could not make an OpenGL ES 3 context";
            return false;
        }
    } else {
        context_ = glXCreateContext(display_, visual, nullptr, True);
    }
    if (context_ == nullptr) {
        error_ = "could not create an OpenGL context";
        return false;
    }
    return true;
}

bool GlxWindow::make_current() {
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
    glXSwapBuffers(display_, drawable_);
}

void* GlxWindow::gl_proc(const char* name) {
    return reinterpret_cast<void*>(glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name)));
}

}  // namespace orvex::x11
