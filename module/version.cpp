#include "module/version.h"

#include <cstring>

#include "core/args.h"
#include "core/result_text.h"
#include "platform/win32/raii.h"

namespace korvane {
namespace {

constexpr char kUnknownVersion[] = "unknown";
constexpr char kFileVersionQuery[] = "\\StringFileInfo\\041103a4\\FileVersion";
constexpr char kPlatformName[] = "x86";

void copyBounded(char* out, size_t capacity, const char* text, size_t length) {
    const size_t count = length < capacity - 1 ? length : capacity - 1;
    std::memcpy(out, text, count);
    out[count] = '\0';
}

}  // namespace

void readVersionText(HMODULE module, char* out, size_t capacity) {
    copyBounded(out, capacity, kUnknownVersion, sizeof kUnknownVersion - 1);
    char path[MAX_PATH];
    const DWORD pathLength = GetModuleFileNameA(module, path, sizeof path);
    if (pathLength == 0 || pathLength >= sizeof path) {
        return;
    }
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    if (size == 0) {
        return;
    }
    win32::unique_hglobal block(GlobalAlloc(GMEM_MOVEABLE, size));
    if (!block) {
        return;
    }
    const auto locked = win32::lock_global(block.get());
    if (locked->data == nullptr || !GetFileVersionInfoA(path, 0, size, locked->data)) {
        return;
    }
    void* value = nullptr;
    UINT valueLength = 0;
    if (!VerQueryValueA(locked->data, kFileVersionQuery, &value, &valueLength) || value == nullptr ||
        valueLength == 0) {
        return;
    }
    // The length counts the terminator for string values; stop at the first zero either way.
    const char* text = static_cast<const char*>(value);
    copyBounded(out, capacity, text, strnlen(text, valueLength));
    if (out[0] == '\0') {
        copyBounded(out, capacity, kUnknownVersion, sizeof kUnknownVersion - 1);
    }
}

Status versionHandler(Call& call) {
    const Arguments& args = call.args();
    char version[kMaxShortText + 1];
    readVersionText(static_cast<HMODULE>(call.moduleInstance), version, sizeof version);
    LocalText<kMaxShortText * 2> result;
    textSet(result, "VERSION=");
    textAppend(result, version);
    if (args.tagBool("DEBUG", false)) {
        textAppend(result, " PLATFORM=");
        textAppend(result, kPlatformName);
    }
    return call.setResult(result.c_str());
}

}  // namespace korvane
