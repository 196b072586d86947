// Reports the console display's state to a running full-screen saver, as the
// platform would: a WM_POWERBROADCAST for the display state, sent to every
// saver window, with the setting written into the saver's own memory (the
// message carries a pointer that is not copied between processes).
//
//   display_state STATE     0 off, 1 on, 2 dimmed
//
// Exit status 0 when at least one saver window took it (answered TRUE).
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

bool send_to(HWND window, DWORD state) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
    if (!process) return false;
    struct {
        POWERBROADCAST_SETTING head;
        BYTE more[sizeof(DWORD)];
    } setting{};
    setting.head.PowerSetting = GUID_CONSOLE_DISPLAY_STATE;
    setting.head.DataLength = sizeof state;
    CopyMemory(setting.head.Data, &state, sizeof state);
    void* remote = VirtualAllocEx(process, nullptr, sizeof setting, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    DWORD_PTR result = 0;
    const bool sent = remote && WriteProcessMemory(process, remote, &setting, sizeof setting, nullptr) &&
                      SendMessageTimeoutA(window, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE,
                                          reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, 5000, &result) &&
                      result == TRUE;
    if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return sent;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: display_state 0|1|2\n");
        return 2;
    }
    const DWORD state = static_cast<DWORD>(std::strtoul(argv[1], nullptr, 10));
    int took = 0;
    for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, "WindowsScreenSaverClass", nullptr)) != nullptr;)
        took += send_to(w, state);
    std::printf("%d saver window(s) took display state %lu\n", took, static_cast<unsigned long>(state));
    return took > 0 ? 0 : 1;
}
