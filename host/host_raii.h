#pragma once
// Owners for the Win32 resources the host emulator holds: one template for every
// resource released by a single call, plus the two that need a second value (a window
// DC is released against its window; a selected GDI object is put back).

#include <windows.h>

#include <cstdint>
#include <utility>

namespace korvane::host {

template <typename T, auto Close, intptr_t InvalidValue = 0>
class Owned {
  public:
    static T invalid() { return reinterpret_cast<T>(InvalidValue); }

    Owned() = default;
    explicit Owned(T value) : value_(value) {}
    Owned(Owned&& other) noexcept : value_(other.release()) {}
    Owned& operator=(Owned&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    ~Owned() { reset(); }

    T get() const { return value_; }
    explicit operator bool() const { return value_ != invalid(); }
    T release() { return std::exchange(value_, invalid()); }
    void reset(T value = invalid()) {
        T old = std::exchange(value_, value);
        if (old != invalid()) {
            Close(old);
        }
    }

  private:
    T value_ = invalid();
};

using OwnedModule = Owned<HMODULE, &FreeLibrary>;
using OwnedMemoryDc = Owned<HDC, &DeleteDC>;
using OwnedGdiObject = Owned<HGDIOBJ, &DeleteObject>;
using OwnedWindow = Owned<HWND, &DestroyWindow>;
using OwnedFile = Owned<HANDLE, &CloseHandle, -1>;  // INVALID_HANDLE_VALUE

// A DC from GetDC, released with ReleaseDC against its window.
class WindowDc {
  public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (dc_ != nullptr) {
            ReleaseDC(window_, dc_);
        }
    }
    HDC get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

// Selects an object into a DC and puts the previous one back when it goes.
class SelectedObject {
  public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject() {
        if (previous_ != nullptr && previous_ != HGDI_ERROR) {
            SelectObject(dc_, previous_);
        }
    }

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// The clipboard, open for as long as this lives.
class OpenClipboardScope {
  public:
    explicit OpenClipboardScope(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
    OpenClipboardScope(const OpenClipboardScope&) = delete;
    OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
    ~OpenClipboardScope() {
        if (open_) {
            CloseClipboard();
        }
    }
    bool isOpen() const { return open_; }

  private:
    bool open_;
};

// A locked global memory block, unlocked when this goes.
class GlobalLockScope {
  public:
    explicit GlobalLockScope(HGLOBAL memory) : memory_(memory), data_(memory ? GlobalLock(memory) : nullptr) {}
    GlobalLockScope(const GlobalLockScope&) = delete;
    GlobalLockScope& operator=(const GlobalLockScope&) = delete;
    ~GlobalLockScope() {
        if (data_ != nullptr) {
            GlobalUnlock(memory_);
        }
    }
    const void* data() const { return data_; }
    size_t size() const { return data_ ? GlobalSize(memory_) : 0; }

  private:
    HGLOBAL memory_;
    void* data_;
};

}  // namespace korvane::host
