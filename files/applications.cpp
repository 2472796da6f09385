// KUtl-LaunchApp and KUtl-QuitApp: starting an application or a document through the
// shell, and asking every running instance of an application to close.

#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <type_traits>
#include <vector>

#include "core/args.h"
#include "files/file_functions.h"
#include "platform/paths/file_ref.h"
#include "platform/win32/raii.h"

namespace korvane {
namespace {

// ShellExecuteA answers a value above this on success, else the launch error itself.
constexpr INT_PTR kLaunchErrorLimit = 32;
// A path of 255 bytes between quotes, and the terminator.
constexpr size_t kQuotedPathCapacity = kPathCapacity + 2;
// The first size of the process id list, in bytes; doubled while the list fills it.
constexpr DWORD kFirstProcessListSize = 1024;
// The largest process id list asked for: far more processes than any system runs.
constexpr DWORD kMaxProcessListSize = 1u << 24;
// Query-information and memory-read rights: enough to read a process's module name.
constexpr DWORD kProcessReadRights = PROCESS_QUERY_INFORMATION | PROCESS_VM_READ;
// The executable name of a process that hosts 16-bit tasks.
constexpr const char* kDosHostName = "NTVDM.EXE";

// APP resolved to an existing file.
Status findApplication(const Arguments& args, FileRef* app) {
    const char* path = args.tagValue("APP");
    if (path == nullptr) {
        return kParamErr;
    }
    if (const Status status = resolvePath(path, app); status != kNoErr) {
        return status;
    }
    return app->exists && !app->isFolder ? kNoErr : kFileNotFound;
}

// The statuses of ShellExecuteA: 0, or the launch error (2 file not found, 31 no association).
Status launch(HWND owner, const char* file, const char* parameters) {
    const INT_PTR result =
        reinterpret_cast<INT_PTR>(ShellExecuteA(owner, nullptr, file, parameters, nullptr, SW_SHOWNORMAL));
    return result > kLaunchErrorLimit ? kNoErr : static_cast<Status>(result);
}

// A document path as one parameter: between quotes when it holds a blank, so the
// application does not take it for several.
void documentParameter(const char* path, char* out, size_t capacity) {
    const size_t length = strnlen(path, capacity);
    const bool quoted = std::strchr(path, ' ') != nullptr && length + 3 <= capacity;
    size_t at = 0;
    if (quoted) {
        out[at++] = '"';
    }
    const size_t copied = std::min(length, capacity - at - (quoted ? 2 : 1));
    std::memcpy(out + at, path, copied);
    at += copied;
    if (quoted) {
        out[at++] = '"';
    }
    out[at] = '\0';
}

// ---- The running processes ----

using EnumProcessesFn = BOOL(WINAPI*)(DWORD*, DWORD, DWORD*);
using EnumProcessModulesFn = BOOL(WINAPI*)(HANDLE, HMODULE*, DWORD, DWORD*);
using GetModuleFileNameExFn = DWORD(WINAPI*)(HANDLE, HMODULE, LPSTR, DWORD);
// A 16-bit task: its module and file names, as the DOS host reports it.
using TaskVisitorFn = BOOL(WINAPI*)(DWORD, WORD, WORD, PSZ, PSZ, LPARAM);
using EnumTasksFn = INT(WINAPI*)(DWORD, TaskVisitorFn, LPARAM);

// A library's entry point as the function type it has.
template <typename Function>
Function entryPoint(HMODULE library, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

// The executable path of process `id` as the system records it, asked with the least
// rights: for a process whose memory cannot be read (another user's, a protected one),
// where the first module's name is not available. "" when it is not known either.
void imageName(DWORD id, char* name, DWORD capacity) {
    name[0] = '\0';
    const win32::unique_handle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
    DWORD size = capacity;
    if (!process || !QueryFullProcessImageNameA(process.get(), 0, name, &size)) {
        name[0] = '\0';
    }
}

// One 16-bit task hosted by process `host`, handed on to the visitor.
template <typename Visitor>
struct TaskVisit {
    DWORD host;
    Visitor* visit;
    bool stopped;
};

template <typename Visitor>
BOOL WINAPI visitTask(DWORD, WORD, WORD, PSZ, PSZ fileName, LPARAM context) {
    auto* tasks = reinterpret_cast<TaskVisit<Visitor>*>(context);
    tasks->stopped = !(*tasks->visit)(tasks->host, fileName != nullptr ? fileName : "");
    return tasks->stopped;  // TRUE ends the enumeration
}

// The executable path of every running process, handed to `visit` with the process id
// (an empty path when the process cannot be read). False when the list cannot be read.
template <typename Visitor>
bool listProcesses(Visitor&& visit) {
    const win32::unique_hmodule psapi(LoadLibraryA("PSAPI.DLL"));
    if (!psapi) {
        return false;
    }
    const auto enumProcesses = entryPoint<EnumProcessesFn>(psapi.get(), "EnumProcesses");
    const auto enumModules = entryPoint<EnumProcessModulesFn>(psapi.get(), "EnumProcessModules");
    const auto moduleFileName = entryPoint<GetModuleFileNameExFn>(psapi.get(), "GetModuleFileNameExA");
    if (enumProcesses == nullptr || enumModules == nullptr || moduleFileName == nullptr) {
        return false;
    }
    // 16-bit tasks are listed where the system still hosts them; elsewhere there are none.
    const win32::unique_hmodule vdm(LoadLibraryA("VDMDBG.DLL"));
    const auto enumTasks = vdm ? entryPoint<EnumTasksFn>(vdm.get(), "VDMEnumTaskWOWEx") : nullptr;

    std::vector<DWORD> ids;
    DWORD listSize = kFirstProcessListSize;
    DWORD returned = 0;
    for (;;) {
        ids.resize(listSize / sizeof(DWORD));
        if (!enumProcesses(ids.data(), listSize, &returned)) {
            return true;  // the list could not be fetched: nothing to report
        }
        if (returned < listSize || listSize >= kMaxProcessListSize) {
            break;
        }
        listSize *= 2;
    }
    ids.resize(returned / sizeof(DWORD));
    for (const DWORD id : ids) {
        char name[MAX_PATH + 1] = {};
        const win32::unique_handle process(OpenProcess(kProcessReadRights, FALSE, id));
        HMODULE first = nullptr;
        DWORD needed = 0;
        if (!process || !enumModules(process.get(), &first, sizeof first, &needed) ||
            moduleFileName(process.get(), first, name, MAX_PATH) == 0) {
            imageName(id, name, sizeof name);
        }
        name[MAX_PATH] = '\0';
        if (!visit(id, name)) {
            return true;
        }
        const size_t length = std::strlen(name);
        const size_t hostLength = std::strlen(kDosHostName);
        if (enumTasks != nullptr && length >= hostLength &&
            CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, name + length - hostLength, -1, kDosHostName, -1) ==
                CSTR_EQUAL) {
            using Plain = std::remove_reference_t<Visitor>;
            TaskVisit<Plain> tasks{id, &visit, false};
            enumTasks(id, visitTask<Plain>, reinterpret_cast<LPARAM>(&tasks));
            if (tasks.stopped) {
                return true;
            }
        }
    }
    return true;
}

BOOL CALLBACK postCloseToMatchingWindow(HWND window, LPARAM context) {
    const auto* processes = reinterpret_cast<const std::vector<DWORD>*>(context);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (IsWindowVisible(window) && std::find(processes->begin(), processes->end(), process) != processes->end()) {
        PostMessageA(window, WM_CLOSE, 0, 0);
    }
    return TRUE;  // every window is visited
}

}  // namespace

Status launchAppHandler(Call& call) {
    const HWND owner = static_cast<HWND>(call.documentWindow);
    const char* docPath = call.args().tagValue("DOC");
    FileRef doc;
    if (docPath != nullptr) {
        if (const Status status = resolvePath(docPath, &doc); status != kNoErr) {
            return status;
        }
        if (!doc.exists || doc.isFolder) {
            return kFileNotFound;
        }
    }
    FileRef app;
    const Status appStatus = findApplication(call.args(), &app);
    if (docPath == nullptr) {
        return appStatus != kNoErr ? appStatus : launch(owner, app.path, nullptr);
    }
    if (appStatus != kNoErr) {
        // No usable application: the document opens with the one the system associates with it.
        return launch(owner, doc.path, nullptr);
    }
    char parameter[kQuotedPathCapacity];
    documentParameter(doc.path, parameter, sizeof parameter);
    return launch(owner, app.path, parameter);
}

Status quitAppHandler(Call& call) {
    FileRef app;
    if (const Status status = findApplication(call.args(), &app); status != kNoErr) {
        return status;
    }
    // Every matching process gets its close request, however many there are.
    std::vector<DWORD> matches;
    try {
        listProcesses([&](DWORD id, const char* path) {
            if (path[0] != '\0' &&
                CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, path, -1, app.path, -1) == CSTR_EQUAL) {
                matches.push_back(id);
            }
            return true;
        });
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    if (!matches.empty()) {
        EnumWindows(postCloseToMatchingWindow, reinterpret_cast<LPARAM>(&matches));
    }
    return kNoErr;
}

}  // namespace korvane
