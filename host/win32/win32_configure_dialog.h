// The configuration dialog (template 2003) and the two information dialogs
// (templates 109 and 111) it opens. The dialog state lives in
// dialog/configure_dialog.h; these procedures fill the controls from it and
// hand it the user's commands.
#pragma once

#include <windows.h>

#include <filesystem>
#include <vector>

namespace orvex::win32 {

// Where the dialogs look: given as the last parameter of DialogBoxParam /
// CreateDialogParam and kept for the dialog's life.
struct ConfigureDialogFolders {
    std::filesystem::path base_folder;   // the program-files folder (or its fall-back)
    std::filesystem::path maker_folder;  // settings file, "Patterns2d", "Pictures"
};

// The dialog template `id` of `instance`, its font face exchanged for
// `kScalableDialogFace` where the named face is a bitmap font without a size
// near the one the template asks for at this display's DPI. A bitmap
// "MS Sans Serif" has no strike for 8 points at 200 %: the dialog manager would
// measure and draw with the nearest smaller one while check boxes, radio
// buttons and the frame grow with the DPI, and labels would be cut. Empty when
// the template is missing or not an extended one.
std::vector<WORD> dialog_template_for_display(HINSTANCE instance, int id);

// `dialog` (an extended template of `size` bytes) with `face` as its font.
// Empty when the template is not an extended one with a font.
std::vector<WORD> with_font_face(const void* dialog, std::size_t size, const wchar_t* face);

// The system's scalable dialog face: Windows maps it to "Microsoft Sans Serif",
// the TrueType design of "MS Sans Serif", drawn sharp at any size.
inline constexpr wchar_t kScalableDialogFace[] = L"MS Shell Dlg";

// Multi-line check boxes and radio buttons of `dialog` whose label needs more
// lines than the control shows (the dialog font draws wider at some DPIs than
// the template was laid out for) get that font a pixel smaller at a time, down
// to three quarters of its height, until the label fits. Returns the fonts
// made; delete them once the dialog is gone.
std::vector<HFONT> fit_multiline_labels(HWND dialog);

// DialogBoxParam / CreateDialogParam over dialog_template_for_display.
INT_PTR dialog_box(HINSTANCE instance, int id, HWND owner, DLGPROC procedure, LPARAM parameter);
HWND create_dialog(HINSTANCE instance, int id, HWND owner, DLGPROC procedure, LPARAM parameter);

}  // namespace orvex::win32

// lParam of WM_INITDIALOG: a const ConfigureDialogFolders*, for all three.
INT_PTR CALLBACK ScreenSaverConfigureDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AboutDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK WherePictures(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
