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

#include "host/close_rules.h"
#include "host/saver_args.h"

LRESULT WINAPI ScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT WINAPI DefScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL WINAPI RegisterDialogClasses(HANDLE instance);

namespace orvex::win32 {

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

    LRESULT default_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT saver_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    int run_saver();
    bool register_saver_class();
    HWND create_saver_window();
    void watch_preview_parent();
    void input(FrameInput what);

    HINSTANCE instance_;
    SaverArgs args_;
    CloseRules rules_;
    HWND saver_window_ = nullptr;
    bool cursor_hidden_ = false;
};

}  // namespace orvex::win32
