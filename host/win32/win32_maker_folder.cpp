#include "host/win32/win32_maker_folder.h"

// clang-format off
#include <windows.h>
#include <shlobj.h>  // after windows.h
// clang-format on

#include <optional>

#include "host/win32/saver_startup.h"

namespace orvex::win32 {

namespace {

constexpr UINT kFolderBuffer = 261;  // MAX_PATH and a terminator

std::optional<std::filesystem::path> program_files_folder() {
    wchar_t buffer[kFolderBuffer] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, buffer))) return {};
    return std::filesystem::path(buffer);
}

std::optional<std::filesystem::path> system_folder() {
    wchar_t buffer[kFolderBuffer] = {};
    if (!SHGetSpecialFolderPathW(nullptr, buffer, CSIDL_SYSTEM, FALSE)) return {};
    return std::filesystem::path(buffer);
}

std::filesystem::path windows_folder() {
    wchar_t buffer[kFolderBuffer] = {};
    const UINT length = GetWindowsDirectoryW(buffer, kFolderBuffer);
    if (length == 0 || length >= kFolderBuffer) return {};
    return std::filesystem::path(buffer);
}

}  // namespace

std::filesystem::path Win32MakerFolder::base_folder() const {
    return choose_base_folder(program_files_folder(), system_folder(), windows_folder());
}

std::filesystem::path Win32MakerFolder::locate() const {
    const std::filesystem::path base = base_folder();
    if (base.empty()) return {};
    return maker_folder_under(base);
}

}  // namespace orvex::win32
