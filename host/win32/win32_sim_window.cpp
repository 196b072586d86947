#include "host/win32/win32_sim_window.h"

#include <utility>

#include "host/win32/win32_frame.h"
#include "host/win32/win32_text.h"

namespace orvex::win32 {

namespace {

// Posted to show the messages queued while the window was being created.
constexpr UINT kShowMessages = WM_APP + 1;

// Entry points beyond OpenGL 1.1 of the current context (buffer objects).
void* wgl_proc(const char* name) { return reinterpret_cast<void*>(wglGetProcAddress(name)); }

}  // namespace

void show_message_box(const SessionMessage& message) { message_box(GetFocus(), message.text, message.caption, MB_OK); }

void WglGlyphs::make_glyph_lists(int first, int count, unsigned list_base) {
    HFONT font = CreateFontA(-48, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_TT_PRECIS,
                             CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, FF_DONTCARE | DEFAULT_PITCH, "Courier New");
    HGDIOBJ previous = font ? SelectObject(dc_, font) : nullptr;
    wglUseFontBitmapsA(dc_, static_cast<DWORD>(first), static_cast<DWORD>(count), list_base);
    if (font) {
        SelectObject(dc_, previous);
        DeleteObject(font);
    }
}

MonitorShare::MonitorShare()
    : messages(std::make_shared<MessageGate>([this](const SessionMessage& m) {
          if (seen.first_time(m)) show_message_box(m);
      })) {}

SimulationWindow::SimulationWindow(HWND main_window, SaverStart start, int monitor, std::shared_ptr<MonitorShare> share)
    : main_window_(main_window),
      start_(std::move(start)),
      monitor_(monitor),
      share_(std::move(share)),
      pfd(saver_pixel_format()),
      messages_(share_ ? share_->messages : std::make_shared<MessageGate>(show_message_box)),
      pacer_(
          [this] {
              if (!session_) return;
              make_current();
              session_->tick();
              // Shown from the window's own message, once the whole group has stepped.
              if (share_ && session_->has_message()) PostMessageA(window_, kShowMessages, 0, 0);
          },
          [this] {
              if (window_) InvalidateRect(window_, nullptr, FALSE);
          },
          [this] { return !session_ || session_->redraw_wanted(); }),
      rest_([this] { restart_timers(); }, [this] { stop_timers(); }) {}

SimulationWindow::~SimulationWindow() = default;

bool SimulationWindow::register_class(HINSTANCE instance) {
    WNDCLASSA wc{};
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_OWNDC;
    wc.lpfnWndProc = ScreenSaverChildProc;
    wc.hInstance = instance;
    wc.lpszClassName = kSaverTitle;
    return RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

void SimulationWindow::on_create(HWND window) {
    window_ = window;
    hDC = GetDC(window);
    const unsigned simulation_ms = simulation_interval_ms(start_.settings.speed);
    if (hRC.create(hDC, pfd)) {
        glyphs_ = std::make_unique<WglGlyphs>(hDC);
        SessionServices services;
        services.glyphs = glyphs_.get();
        services.gl_procs = wgl_proc;
        services.picture_worker = std::make_shared<ThreadPictureWorker>();
        if (share_) set_monitor_random(services, monitor_);
        session_ = std::make_shared<SaverSession>(std::move(start_), std::move(services));
        RECT client{};
        GetClientRect(window, &client);
        session_->init(client.right, client.bottom);
        if (session_->has_message()) PostMessageA(window, kShowMessages, 0, 0);
    }
    simulation_ms_ = simulation_ms;
    if (share_) {
        share_->ticks.join(pacer_, [this] { start_timers(); });
    } else {
        start_timers();
        // The preview rests while its page is hidden.
        if (!SaverFrame::of(window) || !SaverFrame::of(window)->full_screen()) rest_.watch_visibility(window);
    }
}

void SimulationWindow::start_timers() {
    SetTimer(window_, kSimulationTimerId, simulation_ms_, nullptr);
    SetTimer(window_, kRedrawTimerId, kRedrawIntervalMs, nullptr);
}

void SimulationWindow::stop_timers() {
    KillTimer(window_, kSimulationTimerId);
    KillTimer(window_, kRedrawTimerId);
}

// Every monitor's window hears the display go off and on; the timers come back
// on the holder's window alone.
void SimulationWindow::restart_timers() {
    if (share_)
        share_->ticks.restart();
    else
        start_timers();
}

void SimulationWindow::make_current() const {
    if (share_) hRC.make_current();
}

void SimulationWindow::on_paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window_, &ps);
    if (session_) {
        make_current();
        session_->draw();
        hRC.swap_buffers();
    } else {
        FillRect(dc, &ps.rcPaint, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
    EndPaint(window_, &ps);
}

// A box's own message loop goes on delivering ticks and paints to this window;
// the gate keeps a second box from opening inside the first.
// The close that such a loop may deliver destroys this window and its object
// under the box; the gate holds what it needs, and nothing here touches this
// object once the box has returned.
void SimulationWindow::show_messages() {
    if (session_) messages_->show_pending(session_);
}

void SimulationWindow::release_session() {
    if (!session_) return;
    make_current();
    session_->release();
}

void SimulationWindow::on_destroy() {
    stop_timers();
    rest_.stop(window_);
    // The next window of the run takes the timers over.
    if (share_) share_->ticks.leave(pacer_);
    // A box still up keeps the session object, not its GL objects: those go
    // now, while the context is current.
    messages_->close();
    make_current();
    if (session_) session_->release();
    session_.reset();
    hRC.destroy();
    if (hDC) ReleaseDC(window_, hDC);
    hDC = nullptr;
    // Back to the display mode the user set; the saver itself never changes it.
    ChangeDisplaySettingsA(nullptr, 0);
    // With a window per monitor, the quit comes once the last of them is gone.
    if (SaverFrame::last_window(main_window_)) PostQuitMessage(0);
}

// Input over this window counts as input to the saver: the frame sees it for
// both windows.
LRESULT SimulationWindow::pass_input(UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = DefScreenSaverProc(window_, message, wParam, lParam);
    DefScreenSaverProc(main_window_, message, wParam, lParam);
    return result;
}

LRESULT SimulationWindow::handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window_) {
        if (const std::optional<LRESULT> rested = rest_.filter(window, message, wParam, lParam)) return *rested;
    }
    switch (message) {
        case WM_CREATE: on_create(window); return 0;
        case WM_SIZE:
            if (session_) {
                make_current();
                session_->resize(LOWORD(lParam), HIWORD(lParam));
            }
            return 0;
        case WM_PAINT: on_paint(); return 0;
        case WM_TIMER:
            if (share_) {
                share_->ticks.on_timer(static_cast<unsigned>(wParam));  // every monitor's session
                return 0;
            }
            pacer_.on_timer(static_cast<unsigned>(wParam));
            show_messages();
            return 0;
        case kShowMessages: show_messages(); return 0;
        case WM_DESTROY: on_destroy(); return 0;
        case WM_NCACTIVATE:
        case WM_ACTIVATE:
        case WM_ACTIVATEAPP:
        case WM_SETCURSOR:
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_SYSCOMMAND:
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN: return pass_input(message, wParam, lParam);
        default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace orvex::win32

LRESULT CALLBACK ScreenSaverChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    using orvex::win32::SimulationWindow;
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* simulation = reinterpret_cast<SimulationWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_NCDESTROY) SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    if (!simulation) return DefWindowProcA(window, message, wParam, lParam);
    return simulation->handle(window, message, wParam, lParam);
}
