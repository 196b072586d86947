#include "host/win32/win32_rest.h"

namespace orvex::win32 {

namespace {
constexpr UINT_PTR kVisibilityTimerId = 9103;
constexpr UINT kVisibilityWatchMs = 250;  // a hidden page comes back within a quarter second
}  // namespace

std::optional<unsigned long> console_display_state(WPARAM wParam, LPARAM lParam) {
    if (wParam != PBT_POWERSETTINGCHANGE || lParam == 0) return std::nullopt;
    const auto* setting = reinterpret_cast<const POWERBROADCAST_SETTING*>(lParam);
    if (!IsEqualGUID(setting->PowerSetting, GUID_CONSOLE_DISPLAY_STATE) || setting->DataLength < sizeof(DWORD))
        return std::nullopt;
    DWORD state = 0;
    CopyMemory(&state, setting->Data, sizeof state);
    return state;
}

void WindowRest::watch_visibility(HWND window) {
    watching_ = true;
    SetTimer(window, kVisibilityTimerId, kVisibilityWatchMs, nullptr);
}

void WindowRest::stop(HWND window) {
    if (watching_) KillTimer(window, kVisibilityTimerId);
    watching_ = false;
}

void WindowRest::apply(HWND window, RestChange change) {
    if (change == RestChange::Rest) {
        stop_timers_();
    } else if (change == RestChange::Wake) {
        start_timers_();
        InvalidateRect(window, nullptr, FALSE);
    }
}

std::optional<LRESULT> WindowRest::filter(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_POWERBROADCAST:
            if (const auto state = console_display_state(wParam, lParam)) {
                apply(window, rest_.on_display_state(*state));
                return TRUE;
            }
            return std::nullopt;
        case WM_SHOWWINDOW:
            if (watching_) apply(window, rest_.on_visible(wParam != FALSE));
            return std::nullopt;
        case WM_TIMER:
            if (wParam == kVisibilityTimerId) {
                if (watching_) apply(window, rest_.on_visible(IsWindowVisible(window) != FALSE));
                return 0;
            }
            if (rest_.resting()) return 0;  // one already queued when the timers stopped
            return std::nullopt;
        case WM_PAINT:
            if (!rest_.resting()) return std::nullopt;
            ValidateRect(window, nullptr);  // nothing is drawn, and the paint is not asked for again
            return 0;
        default: return std::nullopt;
    }
}

}  // namespace orvex::win32
