#pragma once
// Owners of the Win32 resources the file functions use: one move-only template,
// parameterised by how a resource is closed and which value means "none".

#include <windows.h>

#include <objbase.h>

#include <utility>

namespace korvane::files {

template <typename Traits>
class Unique {
public:
    using Value = typename Traits::Value;
    Unique() = default;
    explicit Unique(Value value) : value_(value) {}
    ~Unique() { reset(); }
    Unique(Unique&& other) noexcept : value_(other.release()) {}
    Unique& operator=(Unique&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;

    Value get() const { return value_; }
    bool valid() const { return value_ != Traits::invalid(); }
    explicit operator bool() const { return valid(); }
    Value release() { return std::exchange(value_, Traits::invalid()); }
    // Closes the resource now; answers whether closing succeeded (true when there was none).
    bool reset(Value value = Traits::invalid()) {
        const Value old = std::exchange(value_, value);
        return old == Traits::invalid() || Traits::close(old);
    }

private:
    Value value_ = Traits::invalid();
};

struct FindTraits {
    using Value = HANDLE;
    static Value invalid() { return INVALID_HANDLE_VALUE; }
    static bool close(Value v) { return FindClose(v) != FALSE; }
};
struct FileTraits {
    using Value = HANDLE;
    static Value invalid() { return INVALID_HANDLE_VALUE; }
    static bool close(Value v) { return CloseHandle(v) != FALSE; }
};
struct GlobalTraits {
    using Value = HGLOBAL;
    static Value invalid() { return nullptr; }
    static bool close(Value v) { return GlobalFree(v) == nullptr; }
};
struct ModuleTraits {
    using Value = HMODULE;
    static Value invalid() { return nullptr; }
    static bool close(Value v) { return FreeLibrary(v) != FALSE; }
};

using UniqueFind = Unique<FindTraits>;    // FindFirstFileA
using UniqueFile = Unique<FileTraits>;    // CreateFileA
using UniqueGlobal = Unique<GlobalTraits>;  // GlobalAlloc
using UniqueModule = Unique<ModuleTraits>;  // LoadLibraryA

// A COM interface pointer, released once.
template <typename Interface>
struct ComTraits {
    using Value = Interface*;
    static Value invalid() { return nullptr; }
    static bool close(Value v) {
        v->Release();
        return true;
    }
};
template <typename Interface>
using UniqueCom = Unique<ComTraits<Interface>>;

// COM on the calling thread, uninitialised only when this scope initialised it.
class ComScope {
public:
    ComScope() : result_(CoInitialize(nullptr)) {}
    ~ComScope() {
        if (SUCCEEDED(result_)) {
            CoUninitialize();
        }
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    bool ready() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }

private:
    HRESULT result_;
};

// The system's error mode for the duration of a scope.
class ErrorModeScope {
public:
    explicit ErrorModeScope(UINT mode) : previous_(SetErrorMode(mode)) {}
    ~ErrorModeScope() { SetErrorMode(previous_); }
    ErrorModeScope(const ErrorModeScope&) = delete;
    ErrorModeScope& operator=(const ErrorModeScope&) = delete;

private:
    UINT previous_;
};

// The open clipboard, closed at the end of the scope.
class ClipboardScope {
public:
    explicit ClipboardScope(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
    ~ClipboardScope() {
        if (open_) {
            CloseClipboard();
        }
    }
    ClipboardScope(const ClipboardScope&) = delete;
    ClipboardScope& operator=(const ClipboardScope&) = delete;
    bool open() const { return open_; }

private:
    bool open_;
};

}  // namespace korvane::files
