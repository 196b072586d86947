// The saver's main window, ScreenSaverProc: settles folders, settings and the
// pattern file at creation, then creates the simulation window over its whole
// client area; at destruction releases the font, restores the working folder
// the process started with and destroys the simulation window.
#include <windows.h>

#include <filesystem>
#include <memory>
#include <system_error>
#include <utility>

#include "host/win32/saver_startup.h"
#include "host/win32/win32_frame.h"
#include "host/win32/win32_maker_folder.h"
#include "host/win32/win32_sim_window.h"
#include "host/win32/win32_text.h"
#include "saver/saver_start.h"

namespace orvex::win32 {

namespace {

void show_startup_error(const char* text) { message_box(nullptr, text, kSaverTitle, MB_OK | MB_ICONERROR); }

class SaverWindow {
public:
    explicit SaverWindow(HWND window) : window_(window) {}

    void on_create(const CREATESTRUCTA& create);
    void on_size(int width, int height);
    void on_destroy();
    // The display's power notifications go to the simulation window.
    LRESULT forward(UINT message, WPARAM wParam, LPARAM lParam) const;

private:
    HWND window_;
    HWND hChild = nullptr;
    HPOWERNOTIFY display_notify_ = nullptr;
    std::filesystem::path lpszCurDir;
    std::unique_ptr<SimulationWindow> simulation_;
};

void SaverWindow::on_create(const CREATESTRUCTA& create) {
    std::error_code ec;
    lpszCurDir = std::filesystem::current_path(ec);

    const std::filesystem::path maker = Win32MakerFolder().locate();
    // Pictures and pattern files are reached by full paths; the maker folder is
    // also the working folder for the run, as it always was.
    if (!maker.empty()) std::filesystem::current_path(maker, ec);

    const bool registered = SimulationWindow::register_class(create.hInstance);
    if (!registered) show_startup_error("Couldn't Register Window Class");

    RECT client{};
    GetClientRect(window_, &client);
    const int nMaxX = client.right;
    const int nMaxY = client.bottom;
    const ChildPlacement child = child_placement(nMaxX, nMaxY);

    // Settings, pattern file and the picture-width rule, settled once for the run.
    SaverStart start = resolve_saver_start(files_in_maker_folder(maker), nMaxX);
    // With a field on each monitor, each window is one monitor's saver.
    const SaverFrame* frame = SaverFrame::of(window_);
    std::shared_ptr<MonitorShare> share = frame ? frame->monitor_share() : nullptr;
    const int monitor = share ? frame->monitor_of(window_) : 0;
    simulation_ = std::make_unique<SimulationWindow>(window_, std::move(start), monitor, std::move(share));
    hChild =
        CreateWindowExA(0, kSaverTitle, kSaverTitle, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, child.x,
                        child.y, child.width, child.height, window_, nullptr, create.hInstance, simulation_.get());
    if (!hChild) {
        simulation_.reset();
        show_startup_error("Couldn't Create Window");
        return;
    }
    // The platform reports the display's state now and whenever it changes.
    display_notify_ =
        RegisterPowerSettingNotification(window_, &GUID_CONSOLE_DISPLAY_STATE, DEVICE_NOTIFY_WINDOW_HANDLE);
}

LRESULT SaverWindow::forward(UINT message, WPARAM wParam, LPARAM lParam) const {
    if (!hChild) return DefScreenSaverProc(window_, message, wParam, lParam);
    return SendMessageA(hChild, message, wParam, lParam);
}

void SaverWindow::on_size(int width, int height) {
    if (!hChild) return;
    const ChildPlacement child = child_placement(width, height);
    MoveWindow(hChild, child.x, child.y, child.width, child.height, TRUE);
}

void SaverWindow::on_destroy() {
    if (display_notify_) UnregisterPowerSettingNotification(display_notify_);
    display_notify_ = nullptr;
    if (simulation_) simulation_->release_session();
    std::error_code ec;
    if (!lpszCurDir.empty()) std::filesystem::current_path(lpszCurDir, ec);
    if (hChild) DestroyWindow(hChild);
    hChild = nullptr;
    if (SaverFrame::last_window(window_)) PostQuitMessage(0);
}

SaverWindow* saver_window_of(HWND window) {
    return reinterpret_cast<SaverWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

}  // namespace

}  // namespace orvex::win32

LRESULT WINAPI ScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    using orvex::win32::SaverWindow;
    SaverWindow* saver = orvex::win32::saver_window_of(window);
    switch (message) {
        case WM_CREATE: {
            saver = new SaverWindow(window);
            SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(saver));
            saver->on_create(*reinterpret_cast<CREATESTRUCTA*>(lParam));
            return 0;
        }
        case WM_SIZE:
            if (saver) saver->on_size(LOWORD(lParam), HIWORD(lParam));
            break;
        case WM_DESTROY:
            if (saver) saver->on_destroy();
            return 0;
        case WM_POWERBROADCAST:
            if (saver) return saver->forward(message, wParam, lParam);
            break;
        case WM_NCDESTROY:
            SetWindowLongPtrA(window, GWLP_USERDATA, 0);
            delete saver;
            break;
        default: break;
    }
    return DefScreenSaverProc(window, message, wParam, lParam);
}
