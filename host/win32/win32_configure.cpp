#include "host/win32/win32_configure.h"

#include "host/saver_startup.h"

namespace orvex::win32 {

// Until the settings dialog joins the saver, configuration only says where the
// settings live.
void run_configuration(HINSTANCE, HWND owner) {
    MessageBoxA(owner,
                "This screen saver has no settings dialog yet.\n"
                "Its settings file is ss_ca_02.ini in the folder \"Halvorn ScreenSavers\" "
                "under Program Files.",
                kSaverTitle, MB_OK | MB_ICONINFORMATION);
}

}  // namespace orvex::win32
