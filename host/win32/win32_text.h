// Text for the window system. Every text of ours is UTF-8 (file names in it
// come from the wide names the file system gives); it meets the platform
// through the wide calls only, so a name outside ASCII reads the same in a
// message box as in the folder it came from, whatever the ANSI code page.
#pragma once

#include <windows.h>

#include <string>

namespace orvex::win32 {

inline std::wstring wide_from_utf8(const std::string& text) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0) MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

inline std::string utf8_from_wide(const std::wstring& text) {
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    if (length > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), length, nullptr,
                            nullptr);
    return utf8;
}

inline int message_box(HWND owner, const std::string& text, const std::string& caption, UINT flags) {
    return MessageBoxW(owner, wide_from_utf8(text).c_str(), wide_from_utf8(caption).c_str(), flags);
}

}  // namespace orvex::win32
