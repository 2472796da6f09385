// KImg-CheckArea over an 800 x 600 area of the document window, through the host emulator,
// beside the plain loop it stands for (one GetPixel per pixel) over the same area in the same
// run. Both must give the same sum; the aim is at least 100 times the loop's speed.
//
//   tools/wine-exec build/win32/bin/check_area_bench.exe [ROUNDS]

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/timing.h"
#include "host/host.h"

namespace {

using namespace korvane;

constexpr int kWidth = 800;
constexpr int kHeight = 600;

// Stripes of many colours, so that the sum depends on every pixel.
void paintWindow(HWND window) {
    HDC dc = GetDC(window);
    for (int x = 0; x < kWidth; x += 4) {
        HBRUSH brush = CreateSolidBrush(RGB(x % 256, (x * 7) % 256, (x * 13) % 256));
        const RECT r = {x, 0, x + 4, kHeight};
        FillRect(dc, &r, brush);
        DeleteObject(brush);
    }
    ReleaseDC(window, dc);
    ValidateRect(window, nullptr);
}

int32_t getPixelSum(HWND window) {
    HDC dc = GetDC(window);
    uint32_t sum = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            sum += static_cast<uint32_t>(GetPixel(dc, x, y));
        }
    }
    ReleaseDC(window, dc);
    return static_cast<int32_t>(sum);
}

// The floor under any reading of the window: one BitBlt of the area into a 32-bit DIB.
double screenCopy(HWND window, int rounds) {
    HDC dc = GetDC(window);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    const double time = bench::median(rounds, [&] {
        const bool copied = BitBlt(memory, 0, 0, kWidth, kHeight, dc, 0, 0, SRCCOPY) != FALSE;
        GdiFlush();
        return copied;
    });
    SelectObject(memory, previous);
    DeleteDC(memory);
    DeleteObject(bitmap);
    ReleaseDC(window, dc);
    return time;
}

std::string moduleBesideProgram() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder(path, length);
    return folder.erase(folder.find_last_of("\\/") + 1) + "Korvane.fmx";
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    host::Host host;
    if (!host.load(moduleBesideProgram()) || host.startup() != host::kDefaultInterfaceVersion) {
        std::fprintf(stderr, "cannot load the module: %s\n", host.error().c_str());
        return 1;
    }
    paintWindow(host.documentWindow());
    std::string answer;
    const double checkArea = bench::median(rounds, [&] {
        const auto result = host.call("KImg-CheckArea", "DESTRECT=0,0,800,600");
        answer = result ? result->result : "";
        return result.has_value();
    });
    const double smallCall =
        bench::median(rounds, [&] { return host.call("KImg-CheckArea", "DESTRECT=0,0,1,1").has_value(); });
    const double copy = screenCopy(host.documentWindow(), rounds);
    int32_t loopSum = 0;
    const double loop = bench::median(rounds, [&] {
        loopSum = getPixelSum(host.documentWindow());
        return true;
    });
    std::printf(
        "CheckArea 800x600: %.4f s (answer %s); a 1x1 call: %.4f s; one BitBlt of the area: %.4f s\n"
        "GetPixel loop:     %.4f s (sum %ld)\nratio: %.1f times\n",
        checkArea, answer.c_str(), smallCall, copy, loop, static_cast<long>(loopSum), loop / checkArea);
    host.shutdown();
    return answer == std::to_string(loopSum) ? 0 : 1;
}
