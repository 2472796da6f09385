#pragma once
// One RAII family for Win32 resources: unique_any<Traits> owns a value and releases
// it with the traits' close function. Each alias names one release rule, so a DC
// from CreateCompatibleDC (DeleteDC) and a window DC (ReleaseDC) are different types.
// Values that need more than a handle to be released (a window DC and its window, a
// DC and the object selected out of it) are small structs that convert to the handle.
// Closing never changes the thread's last error, so a caller can still read the code
// of the call that failed. scope_exit runs any other clean-up, or rollback, at the end
// of a scope unless it is released.

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
    const value_type* operator->() const { return &value_; }
    bool valid() const { return isValid(value_); }
    explicit operator bool() const { return valid(); }

    // Gives up ownership without releasing.
    value_type release() { return std::exchange(value_, Traits::invalid()); }

    void reset(value_type value = Traits::invalid()) {
        value_type old = std::exchange(value_, value);
        if (isValid(old)) {
            const DWORD lastError = ::GetLastError();
            Traits::close(old);
            ::SetLastError(lastError);
        }
    }

    // For functions that return the value through an out-parameter.
    value_type* put() {
        reset();
        return &value_;
    }

  private:
    static bool isValid(const value_type& value) {
        if constexpr (requires { Traits::isValid(value); }) {
            return Traits::isValid(value);
        } else {
            return value != Traits::invalid();
        }
    }

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
struct change_notification_traits {
    using value_type = HANDLE;
    static HANDLE invalid() { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) { ::FindCloseChangeNotification(h); }
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
inline void releaseMutex(HANDLE mutex) {
    ::ReleaseMutex(mutex);
}
inline void closeClipboard(bool) {
    ::CloseClipboard();
}
inline void uninitializeCom(bool) {
    ::CoUninitialize();
}
inline void closeRegistryKey(HKEY key) {
    ::RegCloseKey(key);
}
inline void freeTaskMemory(void* memory) {
    ::CoTaskMemFree(memory);
}

// Kernel handles whose invalid value is null (mutexes, events, processes).
using unique_handle = unique_any<simple_traits<HANDLE, closeHandle>>;
// File handles, whose invalid value is INVALID_HANDLE_VALUE.
using unique_hfile = unique_any<file_handle_traits>;
using unique_find_handle = unique_any<find_handle_traits>;
// A folder's change notification (FindFirstChangeNotificationA).
using unique_change_notification = unique_any<change_notification_traits>;
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
using unique_hkey = unique_any<simple_traits<HKEY, closeRegistryKey>>;
// Memory the shell and COM hand out (an item ID list), freed with CoTaskMemFree.
using unique_cotaskmem = unique_any<simple_traits<void*, freeTaskMemory>>;
// A mutex this thread holds (not the mutex handle itself), released with ReleaseMutex.
using unique_mutex_hold = unique_any<simple_traits<HANDLE, releaseMutex>>;
// The clipboard while it is open.
using unique_clipboard = unique_any<simple_traits<bool, closeClipboard, false>>;
// COM on this thread, while this owner's initialisation counts.
using unique_com_apartment = unique_any<simple_traits<bool, uninitializeCom, false>>;

// A DC obtained with GetDC, released with ReleaseDC against its window.
struct window_dc {
    HWND window = nullptr;
    HDC dc = nullptr;
    operator HDC() const { return dc; }
    bool operator==(const window_dc&) const = default;
};
struct window_dc_traits {
    using value_type = window_dc;
    static window_dc invalid() { return {}; }
    static bool isValid(const window_dc& value) { return value.dc != nullptr; }
    static void close(const window_dc& value) { ::ReleaseDC(value.window, value.dc); }
};
using unique_window_dc = unique_any<window_dc_traits>;

// An object selected into a DC: the object it replaced goes back on release.
struct selected_object {
    HDC dc = nullptr;
    HGDIOBJ previous = nullptr;
    bool operator==(const selected_object&) const = default;
};
struct selected_object_traits {
    using value_type = selected_object;
    static selected_object invalid() { return {}; }
    static bool isValid(const selected_object& value) {
        return value.previous != nullptr && value.previous != HGDI_ERROR;
    }
    static void close(const selected_object& value) { ::SelectObject(value.dc, value.previous); }
};
using unique_select_object = unique_any<selected_object_traits>;

// Global memory while it is locked.
struct locked_memory {
    HGLOBAL memory = nullptr;
    void* data = nullptr;
    size_t size() const { return data != nullptr ? ::GlobalSize(memory) : 0; }
    bool operator==(const locked_memory&) const = default;
};
struct locked_memory_traits {
    using value_type = locked_memory;
    static locked_memory invalid() { return {}; }
    static bool isValid(const locked_memory& value) { return value.data != nullptr; }
    static void close(const locked_memory& value) { ::GlobalUnlock(value.memory); }
};
using unique_global_lock = unique_any<locked_memory_traits>;

// ---- Acquiring ----

inline unique_window_dc get_window_dc(HWND window) {
    return unique_window_dc(window_dc{window, ::GetDC(window)});
}

inline unique_select_object select_object(HDC dc, HGDIOBJ object) {
    return unique_select_object(selected_object{dc, ::SelectObject(dc, object)});
}

// Empty when `memory` is null or cannot be locked.
inline unique_global_lock lock_global(HGLOBAL memory) {
    return unique_global_lock(locked_memory{memory, memory != nullptr ? ::GlobalLock(memory) : nullptr});
}

// Empty when another window holds the clipboard.
inline unique_clipboard open_clipboard(HWND owner) {
    return unique_clipboard(::OpenClipboard(owner) != FALSE);
}

// Waits for `mutex`; empty when the wait fails (a null handle included).
inline unique_mutex_hold wait_for_mutex(HANDLE mutex) {
    if (mutex == nullptr) {
        return {};
    }
    const DWORD result = ::WaitForSingleObject(mutex, INFINITE);
    return unique_mutex_hold(result == WAIT_OBJECT_0 || result == WAIT_ABANDONED ? mutex : nullptr);
}

// COM on the host's thread: uninitialised only when this call initialised it (S_OK or
// S_FALSE), never after RPC_E_CHANGED_MODE.
inline unique_com_apartment init_com_apartment() {
    const HRESULT hr = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    return unique_com_apartment(hr == S_OK || hr == S_FALSE);
}

// ---- Any other clean-up ----

template <typename Action>
class scope_exit_guard {
  public:
    explicit scope_exit_guard(Action action) : action_(std::move(action)) {}
    scope_exit_guard(const scope_exit_guard&) = delete;
    scope_exit_guard& operator=(const scope_exit_guard&) = delete;
    ~scope_exit_guard() {
        if (active_) {
            const DWORD lastError = ::GetLastError();
            action_();
            ::SetLastError(lastError);
        }
    }
    // The action will not run.
    void release() { active_ = false; }

  private:
    Action action_;
    bool active_ = true;
};

// Runs `action` when the scope ends, unless release() was called first.
template <typename Action>
[[nodiscard]] scope_exit_guard<Action> scope_exit(Action action) {
    return scope_exit_guard<Action>(std::move(action));
}

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

}  // namespace korvane::win32
