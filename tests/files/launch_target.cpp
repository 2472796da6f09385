// A small program the LaunchApp and QuitApp tests start. It writes the arguments it was
// given to report-<process id>.txt beside itself, shows a window, then writes "ready"; on
// a close request writes "closed" and ends. It ends by itself after two minutes, so a
// failed test leaves nothing running.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr UINT_PTR kGiveUpTimer = 1;
constexpr UINT kGiveUpMs = 120000;

std::string reportPath() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    folder.erase(folder.find_last_of('\\') + 1);
    return folder + "report-" + std::to_string(GetCurrentProcessId()) + ".txt";
}

void report(const std::string& line) {
    if (std::FILE* file = std::fopen(reportPath().c_str(), "ab")) {
        std::fprintf(file, "%s\n", line.c_str());
        std::fclose(file);
    }
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            report("closed");
            DestroyWindow(window);
            return 0;
        case WM_TIMER:
            DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    std::string lines = "args " + std::to_string(__argc - 1);
    for (int i = 1; i < __argc; ++i) {
        lines += std::string("\narg ") + __argv[i];
    }
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "KorvaneLaunchTarget";
    RegisterClassA(&windowClass);
    const HWND window = CreateWindowExA(0, windowClass.lpszClassName, "Launch target", WS_OVERLAPPEDWINDOW, 0, 0, 200,
                                        100, nullptr, nullptr, instance, nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    SetTimer(window, kGiveUpTimer, kGiveUpMs, nullptr);
    // Ready once its window shows: a close request can reach it from then on.
    report(lines + "\nready");
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
