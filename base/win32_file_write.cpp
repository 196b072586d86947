// Durable replacing on Windows: write, FlushFileBuffers, then a write-through
// move over the old file; failures in the system's own words.
#include <windows.h>

#include <atomic>
#include <string>

#include "base/file_write.h"

namespace orvex {

namespace {

std::string system_error_text(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string utf8;
    if (length > 0 && text) {
        const int size = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
        utf8.assign(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
        if (size > 0)
            WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), utf8.data(), size, nullptr, nullptr);
    }
    if (text) LocalFree(text);
    while (!utf8.empty() && (utf8.back() == '\n' || utf8.back() == '\r' || utf8.back() == ' ' || utf8.back() == '.'))
        utf8.pop_back();
    if (utf8.empty()) utf8 = "system error " + std::to_string(error);
    return utf8;
}

// A file of this call's own beside target, "<target>.<process>-<count>.tmp",
// created only where no file or link has that name yet (CREATE_NEW), so it is
// never written through and never shared with another writer.
HANDLE create_temporary(const std::filesystem::path& target, std::wstring& name) {
    static std::atomic<unsigned> made{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = target.native() + L"." + std::to_wstring(GetCurrentProcessId()) + L"-" +
               std::to_wstring(made.fetch_add(1)) + L".tmp";
        HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
    }
    return INVALID_HANDLE_VALUE;
}

}  // namespace

FileReplace replace_file_durably(const std::filesystem::path& target, std::string_view bytes,
                                 const std::function<void()>& before_replace) {
    FileReplace result;
    auto failed = [&](DWORD error) {
        result.ok = false;
        result.error = system_error_text(error);
        return result;
    };

    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        if (attributes & FILE_ATTRIBUTE_READONLY) {
            result = {false, "the file is read-only", true};
            return result;
        }
        // What the move will need of the old file: the right to write and to
        // delete it, as the access list grants them to this user.
        HANDLE old =
            CreateFileW(target.c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (old == INVALID_HANDLE_VALUE) return failed(GetLastError());
        CloseHandle(old);
    }

    std::wstring temporary;
    HANDLE file = create_temporary(target, temporary);
    if (file == INVALID_HANDLE_VALUE) return failed(GetLastError());
    bool written = true;
    while (written && !bytes.empty()) {
        DWORD n = 0;
        const DWORD chunk = bytes.size() > 0x10000000 ? 0x10000000 : static_cast<DWORD>(bytes.size());
        written = WriteFile(file, bytes.data(), chunk, &n, nullptr) && n > 0;
        if (written) bytes.remove_prefix(n);
    }
    if (!written || !FlushFileBuffers(file)) {
        const DWORD error = GetLastError();
        CloseHandle(file);
        DeleteFileW(temporary.c_str());
        return failed(error);
    }
    CloseHandle(file);
    if (before_replace) before_replace();
    if (!MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        DeleteFileW(temporary.c_str());
        return failed(error);
    }
    return result;
}

}  // namespace orvex
