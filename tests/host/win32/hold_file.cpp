// Holds a file open, as a user's program may, while another program runs:
//
//   hold_file PATH PROGRAM [ARGUMENT...]
//
// Opens PATH for reading, sharing reading and writing but not deleting, starts
// PROGRAM with the arguments, waits for it, closes PATH, and exits with the
// program's exit status. Exit 120 when PATH cannot be opened, 121 when the
// program cannot be started.
// clang-format off
#include <windows.h>
#include <shellapi.h>  // after windows.h
// clang-format on

#include <cstdio>
#include <string>

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 3) {
        std::fprintf(stderr, "usage: hold_file PATH PROGRAM [ARGUMENT...]\n");
        return 2;
    }
    HANDLE held = CreateFileW(argv[1], GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (held == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "hold_file: cannot open the file (error %lu)\n", GetLastError());
        return 120;
    }
    std::wstring line;  // quotes only around what has spaces: NSIS takes /S bare
    for (int i = 2; i < argc; ++i) {
        std::wstring arg = argv[i];
        if (arg.find(L' ') != std::wstring::npos) arg = L"\"" + arg + L"\"";
        line += (i > 2 ? L" " : L"") + arg;
    }
    STARTUPINFOW start = {};
    start.cb = sizeof start;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start, &process)) {
        std::fprintf(stderr, "hold_file: cannot start the program (error %lu)\n", GetLastError());
        CloseHandle(held);
        return 121;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 1;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    CloseHandle(held);
    return static_cast<int>(status);
}
