// A window made by another program, as XScreenSaver or xsecurelock make one
// for a hack. Prints its id ("0x...") and then follows commands on stdin:
// "resize W H", "move X Y", "destroy", "quit". It takes the window's button presses for
// itself, as a locker does, so the hack cannot have them. With --single-buffered
// it takes a visual on which OpenGL cannot draw double-buffered, so the hack
// must make a GL child.
#include <GL/glx.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    const bool single_buffered = argc > 1 && std::strcmp(argv[1], "--single-buffered") == 0;
    Display* d = XOpenDisplay(nullptr);
    if (d == nullptr) return 2;
    const int screen = DefaultScreen(d);
    Visual* visual = DefaultVisual(d, screen);
    int depth = DefaultDepth(d, screen);
    if (single_buffered) {
        int attributes[] = {GLX_RGBA, None};
        XVisualInfo* vi = glXChooseVisual(d, screen, attributes);
        if (vi == nullptr) return 3;
        visual = vi->visual;
        depth = vi->depth;
    }
    XSetWindowAttributes a{};
    a.colormap = XCreateColormap(d, RootWindow(d, screen), visual, AllocNone);
    a.background_pixel = 0;
    a.border_pixel = 0;
    a.event_mask = ButtonPressMask;
    const Window w = XCreateWindow(d, RootWindow(d, screen), 10, 10, 400, 300, 0, depth, InputOutput, visual,
                                   CWColormap | CWBackPixel | CWBorderPixel | CWEventMask, &a);
    XStoreName(d, w, "orvex test window");
    XMapWindow(d, w);
    XSync(d, False);
    std::printf("0x%lx\n", w);
    std::fflush(stdout);
    std::string command;
    while (std::cin >> command) {
        if (command == "resize") {
            unsigned width = 0, height = 0;
            std::cin >> width >> height;
            XResizeWindow(d, w, width, height);
        } else if (command == "move") {
            int x = 0, y = 0;
            std::cin >> x >> y;
            XMoveWindow(d, w, x, y);
        } else if (command == "destroy") {
            XDestroyWindow(d, w);
        } else if (command == "quit") {
            break;
        }
        XSync(d, False);
        std::printf("done %s\n", command.c_str());
        std::fflush(stdout);
    }
    XCloseDisplay(d);
    return 0;
}
