// Held names on Windows: bytes in the ANSI code page, converted to and from the
// wide names the file system uses.
#include <windows.h>

#include "config/file_names.h"

namespace orvex {

std::filesystem::path path_for_name(const std::filesystem::path& folder, const std::string& name) {
    if (name.empty()) return folder;
    const int length = MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    if (length > 0) MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()), wide.data(), length);
    return folder / std::filesystem::path(wide);
}

std::optional<std::string> name_of(const std::filesystem::path& path) {
    const std::wstring wide = path.filename().wstring();
    if (wide.empty()) return std::string();
    // A UTF-8 ANSI code page takes neither the best-fit flag nor the lossy check.
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL lossy = FALSE;
    BOOL* lossy_out = utf8 ? nullptr : &lossy;
    const int size = static_cast<int>(wide.size());
    const int length = WideCharToMultiByte(CP_ACP, flags, wide.data(), size, nullptr, 0, nullptr, lossy_out);
    if (length <= 0 || lossy) return std::nullopt;
    std::string name(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, flags, wide.data(), size, name.data(), length, nullptr, lossy_out);
    if (lossy) return std::nullopt;
    return name;
}

}  // namespace orvex
