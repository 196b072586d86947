// The platform's side of DisplayRest for a window whose pacer runs on the
// window's own timers. The window procedure hands it every message first:
// it reads the console display's state out of WM_POWERBROADCAST and, when
// asked to watch it, whether the window can be seen (WM_SHOWWINDOW, and a
// slow look at IsWindowVisible, which also sees a hidden parent); resting, it
// stops the timers and swallows ticks and paints; waking, it starts the
// timers again and asks for one frame.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>

#include "host/win32/display_rest.h"

namespace orvex::win32 {

// The console display's state that a WM_POWERBROADCAST carries, when it carries one.
std::optional<unsigned long> console_display_state(WPARAM wParam, LPARAM lParam);

class WindowRest {
public:
    // start_timers starts the window's timers, first tick one interval later.
    WindowRest(std::function<void()> start_timers, std::function<void()> stop_timers)
        : start_timers_(std::move(start_timers)), stop_timers_(std::move(stop_timers)) {}

    // Also rest while the window cannot be seen (the preview); looked at from
    // then on, the first time one watch interval later.
    void watch_visibility(HWND window);
    // Stops the visibility watch; at destruction.
    void stop(HWND window);

    // The message's result when this took it; nullopt: the window handles it.
    std::optional<LRESULT> filter(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool resting() const { return rest_.resting(); }

private:
    void apply(HWND window, RestChange change);

    std::function<void()> start_timers_;
    std::function<void()> stop_timers_;
    DisplayRest rest_;
    bool watching_ = false;
};

}  // namespace orvex::win32
