// The window side of resting, under Wine: a window procedure that hands every
// message to WindowRest first, as the simulation window's does, with a pacer
// on the window's timers, fed the display's power notifications.
#include "host/win32/win32_rest.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "saver/frame_pacer.h"

namespace orvex::win32 {
namespace {

constexpr UINT kStepMs = 100;

struct Saver {
    HWND window = nullptr;
    int steps = 0, paints = 0;
    DWORD first_step_at = 0;
    FramePacer pacer{[this] {
                         if (steps++ == 0) first_step_at = GetTickCount();
                     },
                     [this] { InvalidateRect(window, nullptr, FALSE); }};
    WindowRest rest{[this] {
                        SetTimer(window, kSimulationTimerId, kStepMs, nullptr);
                        SetTimer(window, kRedrawTimerId, 20, nullptr);
                    },
                    [this] {
                        KillTimer(window, kSimulationTimerId);
                        KillTimer(window, kRedrawTimerId);
                    }};
};

LRESULT CALLBACK saver_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* saver = reinterpret_cast<Saver*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!saver) return DefWindowProcA(window, message, wParam, lParam);
    if (const auto rested = saver->rest.filter(window, message, wParam, lParam)) return *rested;
    switch (message) {
        case WM_TIMER: saver->pacer.on_timer(static_cast<unsigned>(wParam)); return 0;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            BeginPaint(window, &ps);
            ++saver->paints;
            EndPaint(window, &ps);
            return 0;
        }
        default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

void pump(DWORD ms) {
    const DWORD until = GetTickCount() + ms;
    MSG msg;
    while (static_cast<LONG>(until - GetTickCount()) > 0) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
}

LRESULT send_display_state(HWND window, const GUID& setting_guid, DWORD state) {
    struct {
        POWERBROADCAST_SETTING head;
        BYTE rest[sizeof(DWORD)];
    } setting{};
    setting.head.PowerSetting = setting_guid;
    setting.head.DataLength = sizeof state;
    CopyMemory(setting.head.Data, &state, sizeof state);
    return SendMessageA(window, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, reinterpret_cast<LPARAM>(&setting));
}

HWND make_window(Saver& saver) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = saver_proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "OrvexRestTest";
    RegisterClassA(&wc);
    saver.window = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0, 64, 64, nullptr, nullptr,
                                   wc.hInstance, nullptr);
    SetWindowLongPtrA(saver.window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&saver));
    return saver.window;
}

// Off: the timers stop, no step and no paint; dimmed and other settings change
// nothing; on: a frame at once, the first step one interval later, then the
// steps at their pace.
TEST(WindowRest, DisplayOffStopsStepsAndPaintsOnGoesOnWithoutBurst) {
    Saver saver;
    HWND window = make_window(saver);
    ASSERT_NE(window, nullptr);
    SetTimer(window, kSimulationTimerId, kStepMs, nullptr);
    SetTimer(window, kRedrawTimerId, 20, nullptr);
    pump(350);
    EXPECT_GE(saver.steps, 2);

    EXPECT_EQ(send_display_state(window, GUID_CONSOLE_DISPLAY_STATE, 0), TRUE);
    EXPECT_TRUE(saver.rest.resting());
    pump(50);  // what was already queued goes by
    saver.steps = saver.paints = 0;
    InvalidateRect(window, nullptr, FALSE);                                  // a paint the platform asks for while off
    EXPECT_EQ(send_display_state(window, GUID_MONITOR_POWER_ON, 1), FALSE);  // not ours: passed on
    pump(600);
    EXPECT_EQ(saver.steps, 0);
    EXPECT_EQ(saver.paints, 0);
    EXPECT_TRUE(saver.rest.resting());

    const DWORD on_at = GetTickCount();
    send_display_state(window, GUID_CONSOLE_DISPLAY_STATE, 2);  // dimmed is lit
    EXPECT_FALSE(saver.rest.resting());
    pump(550);
    EXPECT_GE(saver.paints, 1);
    ASSERT_GE(saver.steps, 1);
    EXPECT_GE(saver.first_step_at - on_at, kStepMs - 20);  // the platform's timer may round down a little
    EXPECT_LE(saver.steps, 6);                             // 550 / 100, and nothing made up
    DestroyWindow(window);
}

// A window the user cannot see rests like a display that is off, and wakes once shown.
TEST(WindowRest, HiddenWindowRests) {
    Saver saver;
    HWND window = make_window(saver);
    ASSERT_NE(window, nullptr);
    saver.rest.watch_visibility(window);
    SetTimer(window, kSimulationTimerId, kStepMs, nullptr);
    ShowWindow(window, SW_HIDE);
    EXPECT_TRUE(saver.rest.resting());
    pump(50);
    saver.steps = 0;
    pump(400);
    EXPECT_EQ(saver.steps, 0);
    ShowWindow(window, SW_SHOWNA);
    pump(400);
    EXPECT_FALSE(saver.rest.resting());
    EXPECT_GE(saver.steps, 2);
    saver.rest.stop(window);
    DestroyWindow(window);
}

}  // namespace
}  // namespace orvex::win32
