// The configuration dialog (template 2003) and the two information dialogs
// (templates 109 and 111) it opens. The dialog state lives in
// config/configure_dialog.h; these procedures fill the controls from it and
// hand it the user's commands.
#pragma once

#include <windows.h>

#include <filesystem>

namespace orvex::win32 {

// Where the dialogs look: given as the last parameter of DialogBoxParam /
// CreateDialogParam and kept for the dialog's life.
struct ConfigureDialogFolders {
    std::filesystem::path base_folder;   // the program-files folder (or its fall-back)
    std::filesystem::path maker_folder;  // settings file, "Patterns2d", "Pictures"
};

}  // namespace orvex::win32

// lParam of WM_INITDIALOG: a const ConfigureDialogFolders*, for all three.
INT_PTR CALLBACK ScreenSaverConfigureDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AboutDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK WherePictures(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
