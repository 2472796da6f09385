// desktop-keeper.exe: holds the Wine desktop open between the programs of a test run.
//
// Wine's server closes the desktop one second after its last program ends, and the next
// program that needs a window starts the desktop process again. That process inherits the
// starting program's standard output and error, and keeps them open as long as it lives,
// so whoever reads that output waits for the end of an unrelated process. tools/wine-exec
// starts this program once per prefix with its output closed: as a user of the desktop it
// keeps the desktop alive, so no program of ours ever starts it. Once the desktop is up it
// writes "ready" on its standard output, for wine-exec to wait on; then it shows nothing,
// does nothing, and ends with the Wine server.

#include <windows.h>

namespace {

constexpr char kClassName[] = "KorvaneDesktopKeeper";

LRESULT CALLBACK keeperWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_CLOSE) {
        return 0;  // only the end of the Wine server ends the keeper
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = keeperWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kClassName;
    if (RegisterClassA(&windowClass) == 0) {
        return 1;
    }
    // A hidden top-level window makes this thread a user of the desktop.
    if (CreateWindowExA(0, kClassName, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, instance, nullptr) == nullptr) {
        return 1;
    }
    // Creating the window waited for the desktop: it is up, and started by us.
    constexpr char kReady[] = "ready\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), kReady, sizeof kReady - 1, &written, nullptr);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        DispatchMessageA(&message);
    }
    return 0;
}
