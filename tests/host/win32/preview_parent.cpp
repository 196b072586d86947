// Plays the display settings' preview: a window with a 152 x 112 client area
// whose handle is given to the saver as "/p HWND".
//
//   preview_parent SAVER [HOLD_MS]     one preview; prints "READY" once the
//                                      saver's windows are checked, holds the
//                                      preview HOLD_MS more, then closes it
//   preview_parent SAVER --repeat N    N previews opened and closed in a row
//
// Checks: the saver fills the client area, its simulation window sits at
// (0, -1), input over the preview does not end it, it follows a resized
// parent, and it ends within a few seconds of the parent's destruction. Exit
// status 0 when all held; a saver that outlives its parent is terminated.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr int kClientWidth = 152;
constexpr int kClientHeight = 112;

int failures = 0;

void check(bool ok, const char* what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAILED", what);
    std::fflush(stdout);
    if (!ok) ++failures;
}

void pump_for(DWORD ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    while (GetTickCount64() < end) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

HWND wait_for_child(HWND parent, const char* class_name, DWORD ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    while (GetTickCount64() < end) {
        if (HWND w = FindWindowExA(parent, nullptr, class_name, nullptr)) return w;
        pump_for(50);
    }
    return nullptr;
}

SIZE client_size(HWND w) {
    RECT r{};
    GetClientRect(w, &r);
    return {r.right, r.bottom};
}

HWND make_parent(HINSTANCE instance) {
    RECT frame{0, 0, kClientWidth, kClientHeight};
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
    AdjustWindowRect(&frame, style, FALSE);
    return CreateWindowExA(0, "OrvexPreviewParent", "Preview", style, 40, 40, frame.right - frame.left,
                           frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
}

bool start_saver(const std::string& saver, HWND parent, PROCESS_INFORMATION& pi) {
    std::string line = "\"" + saver + "\" /p " + std::to_string(reinterpret_cast<std::uintptr_t>(parent));
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    return CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi) != 0;
}

// Destroys the parent and waits for the saver to end; a saver left running is terminated.
void close_preview(HWND parent, PROCESS_INFORMATION& pi) {
    DestroyWindow(parent);
    const ULONGLONG end = GetTickCount64() + 5000;
    DWORD state = WAIT_TIMEOUT;
    while (state == WAIT_TIMEOUT && GetTickCount64() < end) {
        pump_for(50);
        state = WaitForSingleObject(pi.hProcess, 0);
    }
    check(state == WAIT_OBJECT_0, "the saver ends when the preview window goes");
    if (state != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}

bool still_running(const PROCESS_INFORMATION& pi) { return WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT; }

void one_preview(HINSTANCE instance, const std::string& saver, DWORD hold_ms) {
    HWND parent = make_parent(instance);
    check(client_size(parent).cx == kClientWidth && client_size(parent).cy == kClientHeight, "parent is 152 x 112");
    PROCESS_INFORMATION pi{};
    if (!start_saver(saver, parent, pi)) {
        check(false, "the saver starts");
        return;
    }
    HWND saver_window = wait_for_child(parent, "WindowsScreenSaverClass", 15000);
    check(saver_window != nullptr, "the saver window appears inside the preview");
    if (saver_window) {
        const SIZE s = client_size(saver_window);
        check(s.cx == kClientWidth && s.cy == kClientHeight, "the saver window fills the client area");
        HWND sim = wait_for_child(saver_window, "Orvex ScreenSaver v 2.0", 5000);
        check(sim != nullptr, "the simulation window exists");
        if (sim) {
            RECT r{};
            GetWindowRect(sim, &r);
            MapWindowPoints(nullptr, saver_window, reinterpret_cast<POINT*>(&r), 2);
            check(r.left == 0 && r.top == -1 && r.right - r.left == kClientWidth && r.bottom - r.top == kClientHeight,
                  "the simulation window covers it at (0, -1)");
            PostMessageA(sim, WM_KEYDOWN, 'A', 0);
            PostMessageA(sim, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
            PostMessageA(sim, WM_MOUSEMOVE, 0, MAKELPARAM(70, 50));
            PostMessageA(saver_window, WM_KEYDOWN, VK_SPACE, 0);
            SetCursorPos(5, 5);
            pump_for(1000);
            check(still_running(pi) && IsWindow(saver_window), "input over the preview does not end it");
        }
        std::printf("READY\n");
        std::fflush(stdout);
        pump_for(hold_ms);

        SetWindowPos(parent, nullptr, 0, 0, 260, 200, SWP_NOMOVE | SWP_NOZORDER);
        const SIZE want = client_size(parent);
        pump_for(1500);
        const SIZE got = client_size(saver_window);
        check(got.cx == want.cx && got.cy == want.cy, "the saver follows a resized preview window");
    }
    close_preview(parent, pi);
}

LRESULT CALLBACK parent_proc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcA(w, m, wp, lp); }

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: preview_parent SAVER [HOLD_MS | --repeat N]\n");
        return 2;
    }
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    wc.lpfnWndProc = parent_proc;
    wc.hInstance = instance;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    wc.lpszClassName = "OrvexPreviewParent";
    RegisterClassA(&wc);

    const std::string saver = argv[1];
    if (argc >= 4 && std::string(argv[2]) == "--repeat") {
        const int n = std::atoi(argv[3]);
        for (int k = 0; k < n; ++k) {
            HWND parent = make_parent(instance);
            PROCESS_INFORMATION pi{};
            if (!start_saver(saver, parent, pi)) {
                check(false, "the saver starts");
                break;
            }
            check(wait_for_child(parent, "WindowsScreenSaverClass", 15000) != nullptr, "the preview comes up");
            close_preview(parent, pi);
        }
    } else {
        one_preview(instance, saver, argc >= 3 ? static_cast<DWORD>(std::atoi(argv[2])) : 0);
    }
    return failures == 0 ? 0 : 1;
}
