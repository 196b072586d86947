// The screen saver frame: the entry point, the saver window ("WindowsScreenSaverClass")
// and its message loop, and the default handling that applies the closing rules.
//
// The program supplies ScreenSaverProc, the saver window's procedure, and
// RegisterDialogClasses; for every message it does not handle it calls
// DefScreenSaverProc, also for its child windows, and the frame decides whether
// that input closes the saver. The frame's state lives in one SaverFrame per
// process, found from any window of the saver through a window property.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "host/win32/close_rules.h"
#include "host/win32/saver_args.h"

LRESULT WINAPI ScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT WINAPI DefScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL WINAPI RegisterDialogClasses(HANDLE instance);

namespace orvex::win32 {

struct MonitorShare;

class SaverFrame {
public:
    SaverFrame(HINSTANCE instance, SaverArgs args);
    SaverFrame(const SaverFrame&) = delete;
    SaverFrame& operator=(const SaverFrame&) = delete;

    // Runs the mode the command line asked for; the process exit code.
    int run();

    // The frame of the saver window that window is, or lies inside of.
    static SaverFrame* of(HWND window);

    HINSTANCE instance() const { return instance_; }
    bool full_screen() const { return rules_.full_screen(); }

    // With "A field on each monitor", full screen: what the monitors' windows
    // share; null for the one window over every monitor and the preview.
    const std::shared_ptr<MonitorShare>& monitor_share() const { return share_; }
    // The saver window's place among the monitors' windows (0 first).
    int monitor_of(HWND saver_window) const;
    // Whether the saver window (or its frame's last one) is the only one left:
    // the quit message waits for the last.
    static bool last_window(HWND saver_window);

    LRESULT default_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT saver_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    int run_saver();
    bool register_saver_class();
    void create_saver_windows();
    void destroy_saver_windows();
    void watch_preview_parent();
    void input(FrameInput what);

    HINSTANCE instance_;
    SaverArgs args_;
    CloseRules rules_;
    std::vector<HWND> windows_;  // the live saver windows, in the order they were made
    std::shared_ptr<MonitorShare> share_;
    bool cursor_hidden_ = false;
};

}  // namespace orvex::win32
