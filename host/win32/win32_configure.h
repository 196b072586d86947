// The configuration mode of the frame: "/c", "/c:HWND" or no argument at all.
#pragma once

#include <windows.h>

namespace orvex::win32 {

// The modal configuration dialog over the maker folder, owned by owner (may be null).
void run_configuration(HINSTANCE instance, HWND owner);

}  // namespace orvex::win32
