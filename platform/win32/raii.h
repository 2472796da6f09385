#pragma once
// One RAII family for Win32 resources: unique_any<Traits> owns a value and releases
// it with the traits' close function. Each alias names one release rule, so a DC
// from CreateCompatibleDC (DeleteDC) and a window DC (ReleaseDC) are different types.

#include <windows.h>

#include <objbase.h>

#include <cstddef>
#include <utility>

namespace korvane::win32 {

template <typename Traits>
class unique_any {
  public:
    using value_type = typename Traits::value_type;

    unique_any() = default;
    explicit unique_any(value_type value) : value_(value) {}
    unique_any(const unique_any&) = delete;
    unique_any& operator=(const unique_any&) = delete;
    unique_any(unique_any&& other) noexcept : value_(other.release()) {}
    unique_any& operator=(unique_any&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }
    ~unique_any() { reset(); }

    value_type get() const { return value_; }
    bool valid() const { return value_ != Traits::invalid(); }
    explicit operator bool() const { return valid(); }

    // Gives up ownership without releasing.
    value_type release() { return std::exchange(value_, Traits::invalid()); }

    void reset(value_type value = Traits::invalid()) {
        value_type old = std::exchange(value_, value);
        if (old != Traits::invalid()) {
            Traits::close(old);
        }
    }

    // For functions that return the value through an out-parameter.
    value_type* put() {
        reset();
        return &value_;
    }

  private:
    value_type value_ = Traits::invalid();
};

template <typename T, auto Close, T Invalid = T{}>
struct simple_traits {
    using value_type = T;
    static constexpr T invalid() { return Invalid; }
    static void close(T value) { Close(value); }
};

struct file_handle_traits {
    using value_type = HANDLE;
    static HANDLE invalid() { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) { ::CloseHandle(h); }
};
struct find_handle_traits {
    using value_type = HANDLE;
    static HANDLE invalid() { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) { ::FindClose(h); }
};

inline void closeHandle(HANDLE h) {
    ::CloseHandle(h);
}
inline void deleteDc(HDC dc) {
    ::DeleteDC(dc);
}
inline void deleteGdiObject(HGDIOBJ object) {
    ::DeleteObject(object);
}
inline void freeLibrary(HMODULE module) {
    ::FreeLibrary(module);
}
inline void globalFree(HGLOBAL memory) {
    ::GlobalFree(memory);
}
inline void destroyWindow(HWND window) {
    ::DestroyWindow(window);
}
inline void destroyIcon(HICON icon) {
    ::DestroyIcon(icon);
}

// Kernel handles whose invalid value is null (mutexes, events, processes).
using unique_handle = unique_any<simple_traits<HANDLE, closeHandle>>;
// File handles, whose invalid value is INVALID_HANDLE_VALUE.
using unique_hfile = unique_any<file_handle_traits>;
using unique_find_handle = unique_any<find_handle_traits>;
// A memory DC made with CreateCompatibleDC / CreateDCA.
using unique_hdc = unique_any<simple_traits<HDC, deleteDc>>;
using unique_hgdiobj = unique_any<simple_traits<HGDIOBJ, deleteGdiObject>>;
using unique_hbitmap = unique_any<simple_traits<HBITMAP, deleteGdiObject>>;
using unique_hfont = unique_any<simple_traits<HFONT, deleteGdiObject>>;
using unique_hbrush = unique_any<simple_traits<HBRUSH, deleteGdiObject>>;
using unique_hrgn = unique_any<simple_traits<HRGN, deleteGdiObject>>;
using unique_hmodule = unique_any<simple_traits<HMODULE, freeLibrary>>;
using unique_hglobal = unique_any<simple_traits<HGLOBAL, globalFree>>;
using unique_hwnd = unique_any<simple_traits<HWND, destroyWindow>>;
using unique_hicon = unique_any<simple_traits<HICON, destroyIcon>>;

// A DC obtained with GetDC, released with ReleaseDC against its window.
class unique_window_dc {
  public:
    unique_window_dc() = default;
    explicit unique_window_dc(HWND window) : window_(window), dc_(::GetDC(window)) {}
    unique_window_dc(const unique_window_dc&) = delete;
    unique_window_dc& operator=(const unique_window_dc&) = delete;
    unique_window_dc(unique_window_dc&& other) noexcept
        : window_(other.window_), dc_(std::exchange(other.dc_, nullptr)) {}
    unique_window_dc& operator=(unique_window_dc&& other) noexcept {
        if (this != &other) {
            reset();
            window_ = other.window_;
            dc_ = std::exchange(other.dc_, nullptr);
        }
        return *this;
    }
    ~unique_window_dc() { reset(); }

    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }
    void reset() {
        if (dc_ != nullptr) {
            ::ReleaseDC(window_, std::exchange(dc_, nullptr));
        }
    }

  private:
    HWND window_ = nullptr;
    HDC dc_ = nullptr;
};

// Selects a GDI object into a DC and selects the previous one back on scope exit.
class select_object_guard {
  public:
    select_object_guard(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
    select_object_guard(const select_object_guard&) = delete;
    select_object_guard& operator=(const select_object_guard&) = delete;
    ~select_object_guard() {
        if (previous_ != nullptr && previous_ != HGDI_ERROR) {
            ::SelectObject(dc_, previous_);
        }
    }
    bool selected() const { return previous_ != nullptr && previous_ != HGDI_ERROR; }

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// GlobalLock for the lifetime of the guard.
class global_lock {
  public:
    explicit global_lock(HGLOBAL memory) : memory_(memory), data_(memory != nullptr ? ::GlobalLock(memory) : nullptr) {}
    global_lock(const global_lock&) = delete;
    global_lock& operator=(const global_lock&) = delete;
    ~global_lock() {
        if (data_ != nullptr) {
            ::GlobalUnlock(memory_);
        }
    }
    void* data() const { return data_; }
    size_t size() const { return data_ != nullptr ? ::GlobalSize(memory_) : 0; }

  private:
    HGLOBAL memory_;
    void* data_;
};

// The open clipboard; closed on scope exit.
class clipboard_guard {
  public:
    explicit clipboard_guard(HWND owner) : open_(::OpenClipboard(owner) != FALSE) {}
    clipboard_guard(const clipboard_guard&) = delete;
    clipboard_guard& operator=(const clipboard_guard&) = delete;
    ~clipboard_guard() {
        if (open_) {
            ::CloseClipboard();
        }
    }
    bool open() const { return open_; }

  private:
    bool open_;
};

// A COM interface pointer, released on scope exit.
template <typename Interface>
class com_ptr {
  public:
    com_ptr() = default;
    com_ptr(const com_ptr&) = delete;
    com_ptr& operator=(const com_ptr&) = delete;
    com_ptr(com_ptr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
    com_ptr& operator=(com_ptr&& other) noexcept {
        if (this != &other) {
            reset();
            pointer_ = std::exchange(other.pointer_, nullptr);
        }
        return *this;
    }
    ~com_ptr() { reset(); }

    Interface* get() const { return pointer_; }
    Interface* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }
    Interface** put() {
        reset();
        return &pointer_;
    }
    void** put_void() { return reinterpret_cast<void**>(put()); }
    void reset() {
        if (pointer_ != nullptr) {
            std::exchange(pointer_, nullptr)->Release();
        }
    }

  private:
    Interface* pointer_ = nullptr;
};

// COM on the host's thread: uninitialised only when this guard initialised it.
class com_apartment {
  public:
    com_apartment() {
        HRESULT hr = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        initialised_ = (hr == S_OK || hr == S_FALSE);
    }
    com_apartment(const com_apartment&) = delete;
    com_apartment& operator=(const com_apartment&) = delete;
    ~com_apartment() {
        if (initialised_) {
            ::CoUninitialize();
        }
    }

  private:
    bool initialised_ = false;
};

}  // namespace korvane::win32
