#include "platform/media/media.h"

#include <windows.h>

#include <cstdio>
#include <new>

#include "platform/win32/raii.h"

namespace korvane {
namespace {

int gBringUpCount = 0;
uint16_t gVersionWord = kMediaVersionCurrent;

// Bring-up and take-down are serialised per process, as the media platform does,
// so two modules of one host sharing the layer never initialise it twice.
win32::unique_handle openBringUpMutex() {
    char name[64];
    std::snprintf(name, sizeof name, "QTMLInitTermMutex%lx", static_cast<unsigned long>(GetCurrentProcessId()));
    return win32::unique_handle(CreateMutexA(nullptr, FALSE, name));
}

class MutexHold {
  public:
    MutexHold() : mutex_(openBringUpMutex()) {
        if (mutex_) {
            WaitForSingleObject(mutex_.get(), INFINITE);
        }
    }
    MutexHold(const MutexHold&) = delete;
    MutexHold& operator=(const MutexHold&) = delete;
    ~MutexHold() {
        if (mutex_) {
            ReleaseMutex(mutex_.get());
        }
    }

  private:
    win32::unique_handle mutex_;
};

}  // namespace

Status mediaBringUp() {
    MutexHold hold;
    ++gBringUpCount;
    return kNoErr;
}

void mediaTakeDown() {
    MutexHold hold;
    if (gBringUpCount > 0) {
        --gBringUpCount;
    }
}

int mediaBringUpCount() {
    return gBringUpCount;
}

uint16_t mediaVersionWord() {
    return gVersionWord;
}

void setMediaVersionWordForTesting(uint16_t version) {
    gVersionWord = version;
}

Status mediaDispatch(uint32_t selector, int32_t /*argument*/) {
    // The preferences selector has nothing to show: the layer has no settings.
    return selector == kMediaSelectorPreferences ? kNoErr : kParamErr;
}

}  // namespace korvane

namespace korvane {

struct MediaPort {
    HWND window;
    HDC dc;
};

namespace {
MediaPort* gCallWindowPort = nullptr;
}

MediaPort* mediaPortForWindow(void* window) {
    HWND hwnd = static_cast<HWND>(window);
    HDC dc = GetDC(hwnd);
    if (dc == nullptr) {
        return nullptr;
    }
    MediaPort* port = new (std::nothrow) MediaPort{hwnd, dc};
    if (port == nullptr) {
        ReleaseDC(hwnd, dc);
    }
    return port;
}

void mediaReleasePort(MediaPort* port) {
    if (port == nullptr) {
        return;
    }
    ReleaseDC(port->window, port->dc);
    delete port;
}

MediaPort*& callWindowPort() {
    return gCallWindowPort;
}

}  // namespace korvane
