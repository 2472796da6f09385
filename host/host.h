#pragma once
// The host emulator: loads a plug-in module the way FileMaker Pro does, builds the call
// record byte for byte, serves its memory callbacks and shows the host's windows.
// Used by the end-to-end tests and by fmhost.exe. One Host at a time per thread (the
// memory callbacks serve the newest one).

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/capture.h"
#include "host/dialog_responder.h"
#include "host/host_memory.h"
#include "host/host_window.h"
#include "platform/call_record.h"
#include "platform/win32/raii.h"

namespace korvane::host {

inline constexpr int16_t kDefaultInterfaceVersion = 11;
inline constexpr int kFunctionCount = 40;
// The module's string table as the host reads it.
inline constexpr UINT kDisplayNameId = 128;
inline constexpr UINT kFirstFunctionNameId = 144;

struct CallResult {
    bool stored = false;           // the module set the result handle during the call
    std::string result;            // the result handle's bytes after the call (empty without one)
    int leakedPointers = 0;        // pointers the module took during the call and did not give back
    int leakedHandles = 0;         // handles the module made other than the result handle
    bool resultLocked = false;     // the result handle was left locked
    bool parameterLocked = false;  // the parameter handle was left locked
    bool resultValid = true;       // the record's result after the call is null or a handle of this host
    MemoryFaults faults;           // misuse of the memory callbacks seen during the call, and failures injected
    // True when the call gave back all memory, misused none, and left both handles unlocked and valid.
    bool clean() const {
        return leakedPointers == 0 && leakedHandles == 0 && !resultLocked && !parameterLocked && resultValid &&
               faults.badHandles == 0 && faults.badPointers == 0 && faults.overruns == 0;
    }
};

class Host {
  public:
    Host();
    ~Host();  // sends shutdown if start-up was sent without one, then unloads
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    // Loads the module, finds its undecorated FMExternCallProc and reads its display name
    // and function names. False (and error() says why) when any of that fails.
    bool load(const std::string& path);
    // Like load(), but calls `proc`, an entry point linked into the calling program, in
    // place of the module's own; the module still serves its resources and instance
    // handle. Lets a test reach the entry point's static library state.
    bool attach(ExternCallProc proc, const std::string& resourcesPath);
    void unload();
    bool loaded() const { return proc_ != nullptr; }
    const std::string& error() const { return error_; }
    HMODULE module() const { return module_.get(); }

    const std::string& displayName() const { return displayName_; }
    const std::vector<std::string>& functionNames() const { return functionNames_; }  // 40, "" where missing
    // A function's name (ASCII case ignored) or "#N" for any integer N; nullopt when unknown.
    std::optional<int32_t> findFunction(std::string_view name) const;

    // The host's windows. openWindow() is done by load() with the default size; call it
    // again for another size. The document window is the one a module should find.
    bool openWindow(int width = kDefaultDocumentWidth, int height = kDefaultDocumentHeight);
    HWND frameWindow() const { return window_.frame(); }
    HWND documentWindow() const { return window_.document(); }
    void pumpMessages() { window_.pumpMessages(); }
    // The document window's device context origin (see HostWindow::setDocumentOrigin).
    bool setWindowOrigin(int x, int y) { return window_.setDocumentOrigin(x, y); }
    // Puts the mouse pointer at client point (x, y) of the document window.
    bool placeMouse(int x, int y) { return window_.placeMouse(x, y); }

    // The calls of the host. Each pumps messages before and after.
    int32_t startup(int16_t interfaceVersion = kDefaultInterfaceVersion);  // the record's answer
    void idle(uint8_t detail = 0);
    void preferences();
    void shutdown();
    // A call of any kind with the standard record (no parameter, no result); returns the
    // record as the module left it.
    ExternCallRecord rawCall(uint8_t kind);
    // An external call. The parameter handle holds `parameter` without terminator; the
    // result handle is null on entry, or holds `previousResult` when given.
    CallResult call(int32_t functionNumber,
                    std::string_view parameter,
                    std::optional<std::string_view> previousResult = std::nullopt);
    // By name or "#N"; an unknown name gives nullopt and makes no call.
    std::optional<CallResult> call(std::string_view name, std::string_view parameter);

    int16_t interfaceVersion() const { return interfaceVersion_; }
    HostMemory& memory() { return memory_; }
    const HostMemory& memory() const { return memory_; }

    // The document window's client area as on the screen, and as a .bmp file.
    Pixels screenshot() const { return captureClientArea(window_.document()); }
    bool saveScreenshot(const std::string& path) const { return writeBmp(path, screenshot()); }
    ClipboardContent saveClipboard(const std::string& path) const { return writeClipboard(path, window_.frame()); }

    // Answers the dialogs shown during calls; start it with responder().start(GetCurrentThreadId()).
    DialogResponder& responder() { return responder_; }

  private:
    ExternCallRecord newRecord(uint8_t kind);
    void send(ExternCallRecord& record);

    HostMemory memory_;
    HostWindow window_;
    win32::unique_hmodule module_;
    ExternCallProc proc_ = nullptr;
    std::string error_;
    std::string displayName_;
    std::vector<std::string> functionNames_;
    int16_t interfaceVersion_ = kDefaultInterfaceVersion;
    bool started_ = false;
    DialogResponder responder_;  // last: it stops watching before the windows go
};

}  // namespace korvane::host
