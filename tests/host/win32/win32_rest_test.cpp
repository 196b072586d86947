// Under Wine: a window procedure that hands every message to WindowRest first,
// as the simulation window's does, with a pacer on its timer.
#include "host/win32/win32_rest.h"

#include <gtest/gtest.h>

#include "saver/frame_pacer.h"

namespace orvex::win32 {
namespace {

HWND window;
int steps, paints;
DWORD first_step_at;
FramePacer pacer([] { first_step_at = steps++ ? first_step_at : GetTickCount(); },
                 [] { InvalidateRect(window, nullptr, FALSE); });
WindowRest rest([] { SetTimer(window, kSimulationTimerId, 100, nullptr); },
                [] { KillTimer(window, kSimulationTimerId); });

LRESULT CALLBACK proc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
    if (const auto rested = rest.filter(w, message, wParam, lParam)) return *rested;
    if (message == WM_TIMER) pacer.on_timer(static_cast<unsigned>(wParam));
    paints += message == WM_PAINT;  // DefWindowProc validates
    return DefWindowProcA(w, message, wParam, lParam);
}

int pump(DWORD ms) {  // steps and paints meanwhile
    steps = paints = 0;
    MSG msg;
    for (const DWORD until = GetTickCount() + ms; static_cast<LONG>(until - GetTickCount()) > 0;) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
    return steps + paints;
}

LRESULT power_setting(const GUID& guid, DWORD state) {
    struct {
        POWERBROADCAST_SETTING head;
        DWORD more;
    } s{{guid, sizeof state, {}}, 0};
    CopyMemory(s.head.Data, &state, sizeof state);
    return SendMessageA(window, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, reinterpret_cast<LPARAM>(&s));
}

// Display off: no step, no paint; on (dimmed): a frame at once, the first step
// one interval later, no burst. A hidden window rests the same way.
TEST(WindowRest, RestsWhileDisplayOffOrHidden) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = proc;
    wc.lpszClassName = "OrvexRestTest";
    RegisterClassA(&wc);
    window = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0, 64, 64, nullptr, nullptr, nullptr,
                             nullptr);
    rest.watch_visibility(window);
    SetTimer(window, kSimulationTimerId, 100, nullptr);
    EXPECT_EQ(power_setting(GUID_CONSOLE_DISPLAY_STATE, 0), TRUE);
    EXPECT_EQ(power_setting(GUID_MONITOR_POWER_ON, 1), FALSE);  // another setting: not ours
    InvalidateRect(window, nullptr, FALSE);
    EXPECT_EQ(pump(600), 0);

    const DWORD on_at = GetTickCount();
    power_setting(GUID_CONSOLE_DISPLAY_STATE, 2);
    pump(550);
    EXPECT_GE(paints, 1);
    EXPECT_GE(first_step_at - on_at, 80u);  // 100 ms, less the platform timer's rounding
    EXPECT_TRUE(steps >= 3 && steps <= 6) << steps;

    ShowWindow(window, SW_HIDE);
    EXPECT_EQ(pump(400), 0);
    ShowWindow(window, SW_SHOWNA);
    EXPECT_GE(pump(400), 2);
    rest.stop(window);
    DestroyWindow(window);
}

}  // namespace
}  // namespace orvex::win32
