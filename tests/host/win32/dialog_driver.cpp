// Plays the user at orvex.scr's configuration dialog from outside its process:
//
//   dialog_driver ACTION...
//     pick ID INDEX   choose entry INDEX of list ID, as a completed choice
//     show ID         print "ID: TEXT" with the text (UTF-8) of list ID's entry
//     click ID        press button ID and wait until it is handled
//     post ID         press button ID without waiting (for buttons that open dialogs)
//   dialog_driver box CAPTION
//     print "box: TEXT" with the text (UTF-8) of the message box CAPTION
//   dialog_driver monitors
//     print "monitor: LEFT TOP RIGHT BOTTOM" for every monitor the platform reports
//
// Waits up to 10 s for the dialog " Orvex ScreenSaver" (or the box) to appear.
// Exit 1 when it does not, or when an action names a control the dialog lacks.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

// A dialog has its titled window before its controls; it is shown once they exist.
static HWND shown(HWND window) { return window && IsWindowVisible(window) ? window : nullptr; }

int main(int argc, char** argv) {
    auto print_monitor = [](HMONITOR, HDC, LPRECT r, LPARAM) -> BOOL {
        return std::printf("monitor: %ld %ld %ld %ld\n", r->left, r->top, r->right, r->bottom) > 0;
    };
    if (argc == 2 && std::strcmp(argv[1], "monitors") == 0)
        return !EnumDisplayMonitors(nullptr, nullptr, print_monitor, 0);
    if (argc == 3 && std::strcmp(argv[1], "box") == 0) {
        wchar_t caption[100] = {};
        MultiByteToWideChar(CP_UTF8, 0, argv[2], -1, caption, 100);
        HWND box = nullptr;
        for (int i = 0; i < 200 && !box; ++i, Sleep(50)) box = shown(FindWindowW(L"#32770", caption));
        wchar_t text[1000] = {};
        if (box) GetDlgItemTextW(box, 0xFFFF, text, 1000);
        char utf8[4000] = {};
        WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
        std::printf("box: %s\n", utf8);
        std::fflush(stdout);
        return box ? 0 : 1;
    }
    HWND dialog = nullptr;
    for (int i = 0; i < 200 && !dialog; ++i, Sleep(50)) dialog = shown(FindWindowA("#32770", " Orvex ScreenSaver"));
    if (!dialog) {
        std::puts("no configuration dialog");
        return 1;
    }
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string action = argv[i];
        const int id = std::atoi(argv[i + 1]);
        HWND control = GetDlgItem(dialog, id);
        if (!control) {
            std::printf("no control %d\n", id);
            return 1;
        }
        if (action == "pick" && i + 2 < argc) {
            SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(std::atoi(argv[i + 2])), 0);
            SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(control));
            ++i;
        } else if (action == "show") {
            wchar_t text[100] = {};
            const LRESULT entry = SendMessageW(control, CB_GETCURSEL, 0, 0);
            if (entry >= 0)
                SendMessageW(control, CB_GETLBTEXT, static_cast<WPARAM>(entry), reinterpret_cast<LPARAM>(text));
            char utf8[400] = {};
            WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
            std::printf("%d: %s\n", id, utf8);
        } else if (action == "click") {
            SendMessageW(control, BM_CLICK, 0, 0);
        } else if (action == "post") {
            PostMessageW(control, BM_CLICK, 0, 0);
        }
    }
    std::fflush(stdout);
    return 0;
}
