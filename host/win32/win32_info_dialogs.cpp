// AboutDialog and WherePictures: fixed text, and labels that open the maker's
// folders or web page with the shell's "open" when clicked.
// clang-format off
#include <windows.h>
#include <shellapi.h>  // after windows.h
// clang-format on

#include <string>

#include "config/maker_folder.h"
#include "dialog/dialog_ids.h"
#include "host/win32/win32_configure_dialog.h"
#include "host/win32/win32_text.h"

namespace orvex::win32 {

namespace {

// The maker's web page, set when the program is built (ORVEX_WEB_ADDRESS);
// without one the label opens the user guide installed beside the saver.
#ifndef ORVEX_WEB_ADDRESS
#define ORVEX_WEB_ADDRESS ""
#endif
constexpr const char* kWebAddress = ORVEX_WEB_ADDRESS;

const ConfigureDialogFolders* folders_of(HWND dialog) {
    return reinterpret_cast<const ConfigureDialogFolders*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

// base "\" maker folder "\" below; what the shell makes of it is not looked at.
void open_in_maker_folder(HWND dialog, const wchar_t* below) {
    const ConfigureDialogFolders* folders = folders_of(dialog);
    if (!folders) return;
    std::wstring maker;
    for (const char* c = kMakerFolderName; *c; ++c) maker += static_cast<wchar_t>(*c);
    const std::wstring path = folders->base_folder.wstring() + L"\\" + maker + L"\\" + below;
    ShellExecuteW(dialog, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

bool is_link(HWND control) {
    const int id = GetDlgCtrlID(control);
    return id == IDC_WEB_ADDRESS || id == IDC_INFORMATION_FOLDER || id == IDC_PICTURES_FOLDER;
}

// The parts both dialogs share: ending, and the clickable labels' colours.
bool common_message(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    switch (message) {
        case WM_INITDIALOG:
            SetWindowLongPtrA(dialog, DWLP_USER, lParam);
            result = TRUE;
            return true;
        case WM_CTLCOLORSTATIC:
            if (!is_link(reinterpret_cast<HWND>(lParam))) return false;
            SetTextColor(reinterpret_cast<HDC>(wParam), RGB(0, 0, 255));
            SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
            result = reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
            return true;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, LOWORD(wParam));
                result = TRUE;
                return true;
            }
            return false;
        default: return false;
    }
}

}  // namespace

}  // namespace orvex::win32

INT_PTR CALLBACK AboutDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    using namespace orvex::win32;
    INT_PTR result = FALSE;
    if (message == WM_INITDIALOG && *kWebAddress)
        SetDlgItemTextW(dialog, IDC_WEB_ADDRESS, wide_from_utf8(kWebAddress).c_str());
    if (common_message(dialog, message, wParam, lParam, result)) return result;
    if (message != WM_COMMAND || HIWORD(wParam) != STN_CLICKED) return FALSE;
    if (LOWORD(wParam) == IDC_INFORMATION_FOLDER) open_in_maker_folder(dialog, L"Information\\Orvex ScreenSaver\\");
    if (LOWORD(wParam) == IDC_WEB_ADDRESS) {
        if (*kWebAddress)
            ShellExecuteW(dialog, L"open", wide_from_utf8(kWebAddress).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        else
            open_in_maker_folder(dialog, L"Information\\Orvex ScreenSaver\\index.html");
    }
    return TRUE;
}

INT_PTR CALLBACK WherePictures(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    using namespace orvex::win32;
    INT_PTR result = FALSE;
    if (common_message(dialog, message, wParam, lParam, result)) return result;
    if (message != WM_COMMAND || HIWORD(wParam) != STN_CLICKED) return FALSE;
    if (LOWORD(wParam) == IDC_PICTURES_FOLDER) open_in_maker_folder(dialog, L"Pictures\\");
    return TRUE;
}
