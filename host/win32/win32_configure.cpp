#include "host/win32/win32_configure.h"

#include "dialog/dialog_ids.h"
#include "host/win32/win32_configure_dialog.h"
#include "host/win32/win32_maker_folder.h"

namespace orvex::win32 {

void run_configuration(HINSTANCE instance, HWND owner) {
    const Win32MakerFolder finder;
    const ConfigureDialogFolders folders{finder.base_folder(), finder.locate()};
    dialog_box(instance, IDD_CONFIGURE, owner, ScreenSaverConfigureDialog, reinterpret_cast<LPARAM>(&folders));
}

}  // namespace orvex::win32
