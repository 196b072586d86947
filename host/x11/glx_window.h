// The X window the saver draws in and its GL context through GLX, OpenGL 1.1
// or OpenGL ES 3 (GLX_EXT_create_context_es2_profile): a window of its own, the root window (or the
// virtual root a desktop puts over it), or a window another program made
// (XScreenSaver, xsecurelock). On a window it did not make it uses that
// window's visual when the GL can draw there double-buffered with a depth
// buffer, and otherwise a GL child window that fills it and follows its size.
//
// It never grabs input. Button presses are selected only where X allows it:
// on the root window another client may hold them already.
#pragma once

#include <GL/glx.h>
#include <X11/Xlib.h>

#include <string>

namespace orvex::x11 {

// Where to draw: own window, root, or a window id.
struct WindowTarget {
    enum class Kind { kOwn, kRoot, kForeign } kind = Kind::kOwn;
    Window id = 0;     // kForeign only
    std::string name;  // kForeign: the id as the user wrote it, for messages
};

// The window the root choice means: the virtual root when a desktop has one.
Window virtual_root(Display* display);

class GlxWindow {
public:
    enum class Api { kGl11, kGles3 };

    // Check ok(); error() says why it could not be set up.
    GlxWindow(Display* display, const WindowTarget& target, const char* title, Api api = Api::kGl11);
    ~GlxWindow();
    GlxWindow(const GlxWindow&) = delete;
    GlxWindow& operator=(const GlxWindow&) = delete;

    bool ok() const { return context_ != nullptr; }
    const std::string& error() const { return error_; }
    int width() const { return width_; }
    int height() const { return height_; }
    Display* display() const { return display_; }
    // Whether the saver draws through a child window of its own.
    bool uses_child() const { return child_ != 0; }

    enum class Event {
        kNone,
        kResized,   // width() and height() changed
        kExposed,   // part of the picture was uncovered and must be drawn again
        kClicked,   // a mouse button was pressed over the picture
        kClosed,    // the user closed our own window
        kVanished,  // the foreign window was destroyed
    };
    // Takes one pending event off the queue (kNone when there is none).
    Event next_event();
    // Whether the foreign window went away after it was found (X reported an
    // error on our windows). A window that never existed is an error() instead.
    bool vanished() const;

    void swap_buffers();
    // The GL's functions by name, for a renderer that looks them up.
    static void* gl_proc(const char* name);

private:
    // A visual the GL can draw on as the saver needs, to be freed with XFree; null when there is none.
    XVisualInfo* choose_visual(int screen);
    bool capable(XVisualInfo* visual);
    bool open_own(const char* title);
    bool open_foreign(Window target, const std::string& name);
    bool make_child(Window parent, Screen* screen, XVisualInfo* visual);
    bool create_context(XVisualInfo* visual);
    bool make_current();
    void select_input(Window window, long mask);

    Display* display_;
    Window target_ = 0;    // the window we were given or made
    Window child_ = 0;     // our GL child window inside a foreign one, if any
    Window drawable_ = 0;  // where GL draws: target_ or child_
    bool own_ = false;
    Colormap colormap_ = 0;
    Api api_;
    GLXContext context_ = nullptr;
    Atom delete_window_ = 0;
    int width_ = 0;
    int height_ = 0;
    std::string error_;
};

}  // namespace orvex::x11
