// KUtl-OpenFileDialog, KUtl-SaveFileDialog and KUtl-OpenFolderDialog: the system's own
// file and folder dialogs, owned by the host's document window, answering with the
// chosen path (result text and clipboard).

#include <windows.h>

#include <commdlg.h>
#include <shlobj.h>

#include <cstdint>
#include <cstring>

#include "core/args.h"
#include "files/file_functions.h"
#include "files/type_filter.h"
#include "platform/paths/file_ref.h"
#include "platform/paths/path_text.h"
#include "platform/win32/raii.h"

namespace korvane {
namespace {

// MESSAGE of the file dialogs (their title) and of the folder browser (its prompt).
constexpr int kMaxTitleLength = 63;
constexpr int kMaxPromptLength = 255;
// DEFAULT: the save dialog's first file name or path.
constexpr int kMaxDefaultNameLength = 260;
// The file name the dialogs fill in, terminator included.
constexpr DWORD kFileNameCapacity = 260;
// The longest registry value read for a type's class or description.
constexpr DWORD kMaxRegistryValue = 260;

// Hide the read-only box, explorer style, long names, resizable.
constexpr DWORD kFileDialogOptions = OFN_HIDEREADONLY | OFN_EXPLORER | OFN_LONGNAMES | OFN_ENABLESIZING;

// The default value of HKEY_CLASSES_ROOT\name, as text; false when there is none.
bool classesRootValue(const char* name, char* out, size_t capacity) {
    win32::unique_hkey key;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, name, 0, KEY_READ, key.put()) != ERROR_SUCCESS) {
        return false;
    }
    char value[kMaxRegistryValue + 1];
    DWORD size = kMaxRegistryValue;
    DWORD type = REG_NONE;
    if (RegQueryValueExA(key.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return false;
    }
    value[size < sizeof value ? size : sizeof value - 1] = '\0';
    const size_t length = std::strlen(value);
    if (length == 0 || length >= capacity) {
        return false;
    }
    std::memcpy(out, value, length + 1);
    return true;
}

// The registry's description of an extension (".jpg"): the description of its class.
bool registeredDescription(const char* extension, char* out, size_t capacity) {
    char typeClass[kMaxRegistryValue + 1];
    return classesRootValue(extension, typeClass, sizeof typeClass) && classesRootValue(typeClass, out, capacity);
}

struct FileDialogRequest {
    char title[kMaxTitleLength + 1] = {};
    bool showAll = false;
    bool showInvisible = false;
    const char* extensions = nullptr;
    uint32_t types[files::kMaxFilterTypes] = {};
    int typeCount = 0;
    char defaultName[kMaxDefaultNameLength + 1] = {};
};

void readFileDialogRequest(const Arguments& args, FileDialogRequest* request) {
    args.tagText("MESSAGE", request->title, kMaxTitleLength);
    request->showAll = args.tagBool("SHOWALL", false);
    request->showInvisible = args.tagBool("SHOWINVISIBLE", false);
    request->extensions = args.tagValue("EXTENSION");
    request->typeCount = args.tagCodeList("FILETYPE", request->types, files::kMaxFilterTypes);
    args.tagText("DEFAULT", request->defaultName, kMaxDefaultNameLength);
}

// Answers with `path` (at most 255 bytes) as the chosen item.
Status answerChosenPath(const char* path, Call& call) {
    FileRef chosen;
    const size_t length = strnlen(path, sizeof chosen.path);
    if (length == sizeof chosen.path) {
        return kUserCanceled;
    }
    std::memcpy(chosen.path, path, length + 1);
    chosen.exists = GetFileAttributesA(chosen.path) != INVALID_FILE_ATTRIBUTES;
    return writePathResult(chosen, call);
}

void repaintOwner(HWND owner) {
    if (owner != nullptr) {
        InvalidateRect(owner, nullptr, FALSE);
    }
}

enum class FileDialogKind { kOpen, kSave };

Status runFileDialog(Call& call, FileDialogKind kind) {
    FileDialogRequest request;
    readFileDialogRequest(call.args(), &request);
    files::TypeFilterRequest types;
    types.showAll = request.showAll;
    types.extensions = request.extensions;
    types.types = request.types;
    types.typeCount = request.typeCount;
    char filter[files::kSaveFilterCapacity];
    const size_t filterCapacity =
        kind == FileDialogKind::kSave ? files::kSaveFilterCapacity : files::kOpenFilterCapacity;
    if (files::buildTypeFilter(types, registeredDescription, filter, filterCapacity) == 0) {
        return kParamErr;
    }

    char fileName[kFileNameCapacity] = {};
    if (kind == FileDialogKind::kSave) {
        const size_t length = strnlen(request.defaultName, sizeof fileName - 1);
        std::memcpy(fileName, request.defaultName, length);
    }
    const HWND owner = static_cast<HWND>(call.documentWindow);
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = fileName;
    dialog.nMaxFile = sizeof fileName;
    dialog.lpstrTitle = request.title[0] != '\0' ? request.title : nullptr;
    dialog.Flags = kFileDialogOptions;
    if (request.showInvisible) {
        dialog.Flags |= OFN_FORCESHOWHIDDEN;
    }
    BOOL chosen = FALSE;
    if (kind == FileDialogKind::kOpen) {
        dialog.hInstance = static_cast<HINSTANCE>(call.moduleInstance);
        dialog.Flags |= OFN_FILEMUSTEXIST;
        chosen = GetOpenFileNameA(&dialog);
    } else {
        // A file to save need not exist yet: no file-must-exist here.
        chosen = GetSaveFileNameA(&dialog);
    }
    repaintOwner(owner);
    if (!chosen) {
        return kUserCanceled;
    }
    return answerChosenPath(fileName, call);
}

}  // namespace

Status openFileDialogHandler(Call& call) {
    return runFileDialog(call, FileDialogKind::kOpen);
}

Status saveFileDialogHandler(Call& call) {
    return runFileDialog(call, FileDialogKind::kSave);
}

Status openFolderDialogHandler(Call& call) {
    char prompt[kMaxPromptLength + 1] = {};
    call.args().tagText("MESSAGE", prompt, kMaxPromptLength);
    // The folder browser is a shell object: COM on the host's thread while it shows.
    const auto com = win32::init_com_apartment();
    const HWND owner = static_cast<HWND>(call.documentWindow);
    char displayName[MAX_PATH] = {};
    BROWSEINFOA browse{};
    browse.hwndOwner = owner;
    browse.pszDisplayName = displayName;
    browse.lpszTitle = prompt;
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_BROWSEINCLUDEFILES;
    const win32::unique_cotaskmem item(SHBrowseForFolderA(&browse));
    repaintOwner(owner);
    if (!item) {
        return kUserCanceled;
    }
    // MAX_PATH characters, the separator appended below, and the terminator.
    char path[MAX_PATH + 2] = {};
    if (!SHGetPathFromIDListA(static_cast<LPCITEMIDLIST>(item.get()), path)) {
        return kNotAFolder;
    }
    const size_t length = strnlen(path, MAX_PATH);
    path[length] = '\0';
    // A folder's path ends in a separator; a file (the browser shows files too) keeps its own path.
    const DWORD attributes = GetFileAttributesA(path);
    const bool isFolder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (isFolder && (length == 0 || lastSeparator(path) != static_cast<int>(length) - 1)) {
        path[length] = '\\';
        path[length + 1] = '\0';
    }
    return answerChosenPath(path, call);
}

}  // namespace korvane
