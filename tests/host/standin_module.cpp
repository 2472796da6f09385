// A small module of the tests' own that the host emulator loads in place of the plug-in.
// It reads the call record by raw byte offsets (not through the shared struct), so the
// tests see the record as a module built elsewhere would.

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

// Byte offsets of the fields in the host's call record.
constexpr size_t kOffVersion = 0;
constexpr size_t kOffKind = 9;
constexpr size_t kOffIdleDetail = 10;
constexpr size_t kOffFunction = 12;
constexpr size_t kOffParameter = 16;
constexpr size_t kOffInstance = 20;
constexpr size_t kOffResult = 24;
constexpr size_t kOffNewHandle = 32;
constexpr size_t kOffSetHandleSize = 36;
constexpr size_t kOffGetHandleSize = 40;
constexpr size_t kOffLockHandle = 52;
constexpr size_t kOffUnlockHandle = 56;
constexpr size_t kOffNewPointer = 60;
constexpr size_t kOffDisposePointer = 64;
constexpr size_t kOffMemoryError = 68;

constexpr int16_t kLowestInterface = 4;
constexpr int16_t kHighestInterface = 255;
constexpr int16_t kParamErr = -50;

using Handle = char**;
using NewHandleFn = Handle(__stdcall*)(int32_t);
using SetHandleSizeFn = void(__stdcall*)(Handle, int32_t);
using GetHandleSizeFn = int32_t(__stdcall*)(Handle);
using HandleFn = void(__stdcall*)(Handle);
using NewPointerFn = char*(__stdcall*)(int32_t);
using DisposePointerFn = void(__stdcall*)(char*);
using MemoryErrorFn = int16_t(__stdcall*)();

HINSTANCE g_instance = nullptr;
unsigned char* g_record = nullptr;
std::string g_log;        // the non-external calls received, e.g. "S11 I7 P K2 D"
int16_t g_lastError = 0;  // the memory error of the last failed step

template <typename T>
T field(size_t offset) {
    T value;
    std::memcpy(&value, g_record + offset, sizeof value);
    return value;
}

template <typename T>
void setField(size_t offset, T value) {
    std::memcpy(g_record + offset, &value, sizeof value);
}

int16_t memoryError() {
    return field<MemoryErrorFn>(kOffMemoryError)();
}

// Stores `length` bytes as the result, the way the plug-in does.
int16_t setResult(const char* text, size_t length) {
    Handle result = field<Handle>(kOffResult);
    if (result == nullptr) {
        result = field<NewHandleFn>(kOffNewHandle)(0);
        if (int16_t error = memoryError()) {
            return g_lastError = error;
        }
        setField(kOffResult, result);
    }
    field<SetHandleSizeFn>(kOffSetHandleSize)(result, static_cast<int32_t>(length));
    if (int16_t error = memoryError()) {
        return g_lastError = error;
    }
    field<HandleFn>(kOffLockHandle)(result);
    std::memcpy(*result, text, length);
    field<HandleFn>(kOffUnlockHandle)(result);
    return 0;
}

int16_t setResult(const std::string& text) {
    return setResult(text.data(), text.size());
}

void echo() {
    Handle parameter = field<Handle>(kOffParameter);
    const int32_t length = field<GetHandleSizeFn>(kOffGetHandleSize)(parameter);
    char* buffer = field<NewPointerFn>(kOffNewPointer)(2 * length + 2);
    if (int16_t error = memoryError()) {
        g_lastError = error;
        setResult("ERROR=" + std::to_string(error));
        return;
    }
    field<HandleFn>(kOffLockHandle)(parameter);
    std::memcpy(buffer, *parameter, static_cast<size_t>(length));
    field<HandleFn>(kOffUnlockHandle)(parameter);
    buffer[length] = '\0';
    setResult(buffer, static_cast<size_t>(length));
    field<DisposePointerFn>(kOffDisposePointer)(buffer);
}

void describeRecord() {
    char text[160];
    std::snprintf(text, sizeof text, "version=%d kind=%d fn=%ld param=%ld instance=%d result=%s",
                  field<int16_t>(kOffVersion), field<uint8_t>(kOffKind),
                  static_cast<long>(field<int32_t>(kOffFunction)),
                  static_cast<long>(field<GetHandleSizeFn>(kOffGetHandleSize)(field<Handle>(kOffParameter))),
                  field<void*>(kOffInstance) == g_instance ? 1 : 0, field<Handle>(kOffResult) ? "set" : "null");
    setResult(text);
}

// The host's document window: the active window's owner (or itself), its "MDIClient"
// child, and that one's topmost child.
HWND hostDocumentWindow() {
    HWND active = GetActiveWindow();
    if (active == nullptr) {
        return nullptr;
    }
    HWND owner = GetWindow(active, GW_OWNER);
    HWND frame = owner ? owner : active;
    HWND client = FindWindowExA(frame, nullptr, "MDIClient", nullptr);
    return client ? GetWindow(client, GW_CHILD) : nullptr;
}

void reportWindow() {
    char text[32];
    std::snprintf(text, sizeof text, "%08lX",
                  static_cast<unsigned long>(reinterpret_cast<uintptr_t>(hostDocumentWindow())));
    setResult(text);
}

// Paints a red 40 x 30 block at (10, 10) of the document window's client area.
void draw() {
    HWND window = hostDocumentWindow();
    HDC dc = GetDC(window);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    RECT block = {10, 10, 50, 40};
    FillRect(dc, &block, red);
    DeleteObject(red);
    ReleaseDC(window, dc);
    ValidateRect(window, nullptr);
    setResult("drawn");
}

void putOnClipboard(UINT format, const void* data, size_t size) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(GlobalLock(memory), data, size);
    GlobalUnlock(memory);
    OpenClipboard(hostDocumentWindow());
    EmptyClipboard();
    SetClipboardData(format, memory);
    CloseClipboard();
}

void clipboardText() {
    Handle parameter = field<Handle>(kOffParameter);
    const int32_t length = field<GetHandleSizeFn>(kOffGetHandleSize)(parameter);
    std::string text(*parameter, static_cast<size_t>(length));
    putOnClipboard(CF_TEXT, text.c_str(), text.size() + 1);
}

// A 2 x 1 bottom-up 24-bit picture: a red pixel, then a blue one.
void clipboardPicture() {
    struct {
        BITMAPINFOHEADER header;
        unsigned char pixels[8];
    } dib = {};
    dib.header.biSize = sizeof dib.header;
    dib.header.biWidth = 2;
    dib.header.biHeight = 1;
    dib.header.biPlanes = 1;
    dib.header.biBitCount = 24;
    dib.header.biCompression = BI_RGB;
    const unsigned char pixels[8] = {0, 0, 255, 255, 0, 0, 0, 0};  // BGR red, BGR blue, padding
    std::memcpy(dib.pixels, pixels, sizeof pixels);
    putOnClipboard(CF_DIB, &dib, sizeof dib);
}

void lockedGrowth() {
    Handle handle = field<NewHandleFn>(kOffNewHandle)(0);
    setField(kOffResult, handle);
    field<HandleFn>(kOffLockHandle)(handle);
    field<SetHandleSizeFn>(kOffSetHandleSize)(handle, 8);
    const int16_t locked = memoryError();
    field<HandleFn>(kOffUnlockHandle)(handle);
    char* before = *handle;
    field<SetHandleSizeFn>(kOffSetHandleSize)(handle, 8);
    const int16_t unlocked = memoryError();
    const bool moved = *handle != before;
    char text[64];
    std::snprintf(text, sizeof text, "locked=%d unlocked=%d moved=%d", locked, unlocked, moved ? 1 : 0);
    setResult(text);
}

void overrun() {
    char* block = field<NewPointerFn>(kOffNewPointer)(4);
    std::memset(block, 'x', 5);
    field<DisposePointerFn>(kOffDisposePointer)(block);
}

void disposeTwice() {
    char* block = field<NewPointerFn>(kOffNewPointer)(4);
    field<DisposePointerFn>(kOffDisposePointer)(block);
    field<DisposePointerFn>(kOffDisposePointer)(block);
}

constexpr int kAskDialog = 200;
constexpr int kAskField = 100;

INT_PTR CALLBACK askProc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    if (message == WM_INITDIALOG) {
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL)) {
        if (LOWORD(wparam) == IDOK) {
            char text[256] = {};
            GetDlgItemTextA(dialog, kAskField, text, sizeof text);
            setResult(std::string("OK:") + text);
        } else {
            setResult("CANCEL");
        }
        EndDialog(dialog, LOWORD(wparam));
        return TRUE;
    }
    return FALSE;
}

// A modal dialog of the module's own, owned by the host's document window.
void ask() {
    DialogBoxParamA(g_instance, MAKEINTRESOURCEA(kAskDialog), hostDocumentWindow(), askProc, 0);
}

// A message box with Yes, No and Cancel; the result is the button's number.
void message() {
    Handle parameter = field<Handle>(kOffParameter);
    const int32_t length = field<GetHandleSizeFn>(kOffGetHandleSize)(parameter);
    const std::string text(*parameter, static_cast<size_t>(length));
    setResult(std::to_string(MessageBoxA(hostDocumentWindow(), text.c_str(), "Stand-in", MB_YESNOCANCEL)));
}

void external() {
    switch (field<int32_t>(kOffFunction)) {
        case 0:
            echo();
            break;
        case 1:
            field<NewPointerFn>(kOffNewPointer)(16);
            setResult("leaked");
            break;
        case 2:
            describeRecord();
            break;
        case 3:
            reportWindow();
            break;
        case 4:
            setResult(std::to_string(g_lastError));
            break;
        case 5:
            lockedGrowth();
            break;
        case 6:
            break;  // stores nothing
        case 7:
            draw();
            break;
        case 8:
            clipboardText();
            break;
        case 9:
            clipboardPicture();
            break;
        case 10:
            overrun();
            break;
        case 11:
            setResult(g_log);
            break;
        case 12:
            field<HandleFn>(kOffLockHandle)(field<Handle>(kOffParameter));
            break;
        case 13:
            disposeTwice();
            break;
        case 14:
            ask();
            break;
        case 15:
            message();
            break;
        default:
            setResult("ERROR=" + std::to_string(kParamErr));
            break;
    }
}

void logCall(const std::string& entry) {
    g_log += (g_log.empty() ? "" : " ") + entry;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_instance = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

extern "C" void __stdcall FMExternCallProc(unsigned char* record) {
    g_record = record;
    const int16_t version = field<int16_t>(kOffVersion);
    switch (field<uint8_t>(kOffKind)) {
        case 0:
            logCall("S" + std::to_string(version));
            setField<int32_t>(kOffResult, version >= kLowestInterface && version <= kHighestInterface ? version : -1);
            break;
        case 1:
            logCall("I" + std::to_string(field<uint8_t>(kOffIdleDetail)));
            break;
        case 3:
            external();
            break;
        case 4:
            logCall("D");
            break;
        case 5:
            logCall("P");
            break;
        default:
            logCall("K" + std::to_string(field<uint8_t>(kOffKind)));
            break;
    }
    g_record = nullptr;
}
