#include "host/win32/win32_frame.h"

#include <algorithm>

#include "config/settings_file.h"
#include "host/win32/saver_startup.h"
#include "host/win32/win32_configure.h"
#include "host/win32/win32_maker_folder.h"
#include "host/win32/win32_sim_window.h"
#include "host/win32/win32_text.h"

namespace orvex::win32 {

namespace {

constexpr const char* kSaverClassName = "WindowsScreenSaverClass";
constexpr const char* kSaverWindowTitle = "SCREENSAVER";
constexpr const char* kFrameProperty = "OrvexScreenSaverFrame";
constexpr UINT_PTR kParentWatchTimerId = 9100;  // preview: is the parent still there, and its size?
constexpr UINT kParentWatchMs = 250;

CursorPos cursor_position() {
    POINT p{};
    if (!GetCursorPos(&p)) return {};
    return {p.x, p.y};
}

MessageKind kind_of(UINT message) {
    switch (message) {
        case WM_TIMER: return MessageKind::Timer;
        case WM_PAINT: return MessageKind::Paint;
        case WM_ACTIVATE:
        case WM_ACTIVATEAPP:
        case WM_NCACTIVATE: return MessageKind::Activation;
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
        case WM_CHAR:
        case WM_SYSCHAR:
        case WM_SETCURSOR: return MessageKind::Input;
        default: return (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ? MessageKind::Input : MessageKind::Other;
    }
}

SystemCommand system_command_of(WPARAM wParam) {
    switch (wParam & 0xFFF0) {
        case SC_CLOSE: return SystemCommand::Close;
        case SC_SCREENSAVE: return SystemCommand::ScreenSave;
        case SC_NEXTWINDOW:
        case SC_PREVWINDOW:
        case SC_TASKLIST: return SystemCommand::WindowSwitch;
        default: return SystemCommand::Other;
    }
}

LRESULT CALLBACK SysScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetPropA(window, kFrameProperty, create->lpCreateParams);
    }
    if (SaverFrame* frame = SaverFrame::of(window)) return frame->saver_proc(window, message, wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

// The password-change dialog of the 9x line, where the platform still has one.
void change_password(HWND owner) {
    HMODULE mpr = LoadLibraryA("MPR.DLL");
    if (!mpr) return;
    using ChangePassword = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, DWORD);
    FARPROC entry = GetProcAddress(mpr, "PwdChangePasswordA");
    if (entry) reinterpret_cast<ChangePassword>(reinterpret_cast<void*>(entry))("SCRSAVE", owner, 0, 0);
    FreeLibrary(mpr);
}

BOOL CALLBACK add_monitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(monitor, &info)) reinterpret_cast<std::vector<RECT>*>(list)->push_back(info.rcMonitor);
    return TRUE;
}

// Every monitor's rectangle, in physical pixels (the manifest asks for
// per-monitor awareness), the primary one first.
std::vector<RECT> monitor_rectangles() {
    std::vector<RECT> monitors;
    EnumDisplayMonitors(nullptr, nullptr, add_monitor, reinterpret_cast<LPARAM>(&monitors));
    std::stable_partition(monitors.begin(), monitors.end(), [](const RECT& r) { return r.left == 0 && r.top == 0; });
    return monitors;
}

// The whole virtual screen, every monitor.
RECT virtual_screen() {
    RECT r{};
    r.left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    r.top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (width <= 0 || height <= 0) {
        width = GetSystemMetrics(SM_CXSCREEN);
        height = GetSystemMetrics(SM_CYSCREEN);
    }
    r.right = r.left + width;
    r.bottom = r.top + height;
    return r;
}

bool field_per_monitor() { return load_startup_settings(Win32MakerFolder().locate()).FieldPerMonitor == 1; }

HWND owner_or_foreground(std::uintptr_t window) {
    HWND owner = reinterpret_cast<HWND>(window);
    return (owner && IsWindow(owner)) ? owner : GetForegroundWindow();
}

}  // namespace

SaverFrame::SaverFrame(HINSTANCE instance, SaverArgs args)
    : instance_(instance), args_(args), rules_(args.mode == SaverMode::FullScreen) {}

SaverFrame* SaverFrame::of(HWND window) {
    for (HWND w = window; w; w = GetParent(w)) {
        if (void* frame = GetPropA(w, kFrameProperty)) return static_cast<SaverFrame*>(frame);
    }
    return nullptr;
}

int SaverFrame::run() {
    switch (args_.mode) {
        case SaverMode::Configure:
            RegisterDialogClasses(instance_);
            run_configuration(instance_, owner_or_foreground(args_.window));
            return 0;
        case SaverMode::ChangePassword: change_password(owner_or_foreground(args_.window)); return 0;
        case SaverMode::Preview:
            if (!args_.window || !IsWindow(reinterpret_cast<HWND>(args_.window))) return 0;
            return run_saver();
        case SaverMode::FullScreen: return run_saver();
    }
    return 0;
}

bool SaverFrame::register_saver_class() {
    WNDCLASSA wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_PARENTDC | CS_SAVEBITS;
    wc.lpfnWndProc = SysScreenSaverProc;
    wc.hInstance = instance_;
    wc.hIcon = LoadIconA(instance_, MAKEINTRESOURCEA(1));
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = kSaverClassName;
    return RegisterClassA(&wc) != 0;
}

void SaverFrame::create_saver_windows() {
    if (rules_.full_screen()) {
        std::vector<RECT> screens;
        if (field_per_monitor()) {
            screens = monitor_rectangles();
            share_ = std::make_shared<MonitorShare>();
        }
        if (screens.empty()) {
            share_.reset();
            screens.push_back(virtual_screen());
        }
        for (const RECT& r : screens)
            CreateWindowExA(WS_EX_TOPMOST, kSaverClassName, kSaverWindowTitle, WS_POPUP | WS_VISIBLE, r.left, r.top,
                            r.right - r.left, r.bottom - r.top, nullptr, nullptr, instance_, this);
        return;
    }
    HWND parent = reinterpret_cast<HWND>(args_.window);
    RECT area{};
    if (!GetClientRect(parent, &area)) return;
    CreateWindowExA(0, kSaverClassName, kSaverWindowTitle, WS_CHILD | WS_VISIBLE, 0, 0, area.right, area.bottom, parent,
                    nullptr, instance_, this);
}

// The last made goes first: each window gives the working folder back as it
// found it, so the first one, going last, leaves the one the process began in.
void SaverFrame::destroy_saver_windows() {
    while (!windows_.empty()) {
        const HWND last = windows_.back();
        DestroyWindow(last);
        if (!windows_.empty() && windows_.back() == last) windows_.pop_back();  // not ours any more
    }
}

int SaverFrame::monitor_of(HWND saver_window) const {
    const auto found = std::find(windows_.begin(), windows_.end(), saver_window);
    return found == windows_.end() ? 0 : static_cast<int>(found - windows_.begin());
}

bool SaverFrame::last_window(HWND saver_window) {
    const SaverFrame* frame = of(saver_window);
    return !frame || frame->windows_.size() <= 1;
}

int SaverFrame::run_saver() {
    if (!register_saver_class()) {
        message_box(nullptr, "RegisterClasses() failed", kSaverTitle, MB_OK | MB_ICONERROR);
        return 1;
    }
    create_saver_windows();
    if (windows_.empty()) return 0;
    if (!rules_.full_screen()) SetTimer(windows_.front(), kParentWatchTimerId, kParentWatchMs, nullptr);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    destroy_saver_windows();
    return 0;
}

void SaverFrame::watch_preview_parent() {
    HWND saver = windows_.front();
    HWND parent = GetParent(saver);
    if (!parent || !IsWindow(parent)) {
        DestroyWindow(saver);
        return;
    }
    RECT want{}, have{};
    if (GetClientRect(parent, &want) && GetClientRect(saver, &have) &&
        (want.right != have.right || want.bottom != have.bottom))
        MoveWindow(saver, 0, 0, want.right, want.bottom, TRUE);
}

void SaverFrame::input(FrameInput what) {
    // One close request for all monitors' windows: the first one's close closes them all.
    if (rules_.on_input(what, cursor_position()) == Verdict::RequestClose && !windows_.empty())
        PostMessageA(windows_.front(), WM_CLOSE, 0, 0);
}

LRESULT SaverFrame::saver_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            windows_.push_back(window);
            if (windows_.size() == 1) {
                rules_.record_cursor(cursor_position());
                if (rules_.full_screen()) cursor_hidden_ = ShowCursor(FALSE) < 0;
            }
            break;
        case WM_CLOSE:
            if (windows_.size() > 1) {
                destroy_saver_windows();
                return 0;
            }
            break;
        case WM_TIMER:
            if (wParam == kParentWatchTimerId) {
                watch_preview_parent();
                return 0;
            }
            break;
        case WM_DESTROY: {
            if (!rules_.full_screen()) KillTimer(window, kParentWatchTimerId);
            const LRESULT result = ScreenSaverProc(window, message, wParam, lParam);
            if (windows_.size() > 1) return result;  // the quit and the cursor wait for the last window
            if (cursor_hidden_) ShowCursor(TRUE);
            cursor_hidden_ = false;
            PostQuitMessage(0);
            return result;
        }
        case WM_NCDESTROY: {
            const LRESULT result = ScreenSaverProc(window, message, wParam, lParam);
            RemovePropA(window, kFrameProperty);
            windows_.erase(std::remove(windows_.begin(), windows_.end(), window), windows_.end());
            return result;
        }
        default: break;
    }
    if (!rules_.reaches_saver(kind_of(message))) return DefWindowProcA(window, message, wParam, lParam);
    return ScreenSaverProc(window, message, wParam, lParam);
}

LRESULT SaverFrame::default_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETCURSOR:
            if (rules_.full_screen()) {
                SetCursor(nullptr);
                return TRUE;
            }
            break;
        case WM_SYSCOMMAND:
            if (rules_.on_system_command(system_command_of(wParam)) == Verdict::Swallow) return 0;
            break;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: input(FrameInput::KeyDown); break;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN: input(FrameInput::ButtonDown); break;
        case WM_MOUSEMOVE: input(FrameInput::MouseMove); break;
        case WM_ACTIVATE: input(LOWORD(wParam) == WA_INACTIVE ? FrameInput::Deactivate : FrameInput::Activate); break;
        case WM_ACTIVATEAPP:
        case WM_NCACTIVATE: input(wParam ? FrameInput::Activate : FrameInput::Deactivate); break;
        default: break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace orvex::win32

LRESULT WINAPI DefScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (orvex::win32::SaverFrame* frame = orvex::win32::SaverFrame::of(window))
        return frame->default_proc(window, message, wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

BOOL WINAPI RegisterDialogClasses(HANDLE) { return TRUE; }

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int) {
    // The working folder is the maker folder, where every user may add files:
    // no library is ever looked for there.
    SetDllDirectoryW(L"");
    orvex::win32::SaverFrame frame(instance, orvex::parse_saver_args(command_line ? command_line : ""));
    return frame.run();
}
