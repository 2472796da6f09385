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

}  // namespace

Status mediaBringUp() {
    const win32::unique_handle mutex = openBringUpMutex();
    const auto hold = win32::wait_for_mutex(mutex.get());
    ++gBringUpCount;
    return kNoErr;
}

void mediaTakeDown() {
    const win32::unique_handle mutex = openBringUpMutex();
    const auto hold = win32::wait_for_mutex(mutex.get());
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
