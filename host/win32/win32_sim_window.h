// The simulation window: the child that covers the saver window, owns the
// rendering context, runs the automaton on timer 9101 and asks for a frame on
// timer 9102. Its procedure is ScreenSaverChildProc; its state is one
// SimulationWindow, handed over as the window's creation data. Everything
// between the window and the automaton is the SaverSession it drives; the
// session's messages are shown from the message loop, after the call that
// queued them has returned, one box at a time.
#pragma once

#include <windows.h>

#include <memory>

#include "host/win32/message_gate.h"
#include "host/win32/saver_startup.h"
#include "host/win32/tick_group.h"
#include "host/win32/wgl_context.h"
#include "host/win32/win32_rest.h"
#include "render/gl11/text_font.h"
#include "saver/frame_pacer.h"
#include "saver/saver_session.h"

LRESULT CALLBACK ScreenSaverChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

namespace orvex::win32 {

// A message for the user in a message box owned by the window with the keyboard focus.
void show_message_box(const SessionMessage& message);

// Glyph lists from the "Courier New" bold GDI font, through wglUseFontBitmapsA.
class WglGlyphs final : public GlyphSource {
public:
    explicit WglGlyphs(HDC dc) : dc_(dc) {}
    void make_glyph_lists(int first, int count, unsigned list_base) override;

private:
    HDC dc_;
};

// What the simulation windows of one run share when each monitor has a field
// of its own: one pacer for all sessions, one gate for their message boxes,
// each message shown once per run.
struct MonitorShare {
    MonitorShare();
    TickGroup ticks;
    RunMessages seen;
    std::shared_ptr<MessageGate> messages;
};

class SimulationWindow {
public:
    // monitor: the monitor's place in the run (0 first); share: null for the
    // one field over every monitor, as in the preview.
    SimulationWindow(HWND main_window, SaverStart start, int monitor = 0,
                     std::shared_ptr<MonitorShare> share = nullptr);
    SimulationWindow(const SimulationWindow&) = delete;
    SimulationWindow& operator=(const SimulationWindow&) = delete;
    ~SimulationWindow();

    // Registers the window class; false when the platform refuses it.
    static bool register_class(HINSTANCE instance);

    // Releases the font and the picture while the context is still current.
    void release_session();

    LRESULT handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    void on_create(HWND window);
    void on_paint();
    void on_destroy();
    LRESULT pass_input(UINT message, WPARAM wParam, LPARAM lParam);

    void show_messages();
    void make_current() const;
    void start_timers();
    void stop_timers();
    void restart_timers();

    HWND main_window_;
    HWND window_ = nullptr;
    SaverStart start_;  // handed to the session once the context exists
    int monitor_;
    std::shared_ptr<MonitorShare> share_;

    HDC hDC = nullptr;
    PIXELFORMATDESCRIPTOR pfd;
    WglContext hRC;
    std::unique_ptr<WglGlyphs> glyphs_;
    // Shared with a message box that is up: its loop may destroy this window.
    std::shared_ptr<SaverSession> session_;
    std::shared_ptr<MessageGate> messages_;  // this window's own, or the share's
    FramePacer pacer_;
    unsigned simulation_ms_ = 0;
    WindowRest rest_;
};

}  // namespace orvex::win32
