#include "image/export_dialog.h"

#include <windows.h>

#include <cderr.h>
#include <commdlg.h>

#include <cstring>

#include "image/export_type.h"
#include "platform/paths/path_text.h"
#include "resources/resource_ids.h"

namespace korvane {

namespace {

// The longest title our template's caption gives the dialog, terminator included.
constexpr int kTitleCapacity = 128;
// Eleven pairs of a name and its patterns fit with room to spare.
constexpr size_t kFilterCapacity = 1024;

// Our part of the dialog. Once the system's dialog is set up, its title becomes our
// template's caption; the system's own dialog does everything else.
UINT_PTR CALLBACK exportDialogHook(HWND child, UINT message, WPARAM, LPARAM lparam) {
    if (message == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lparam)->code == CDN_INITDONE) {
        char title[kTitleCapacity] = {};
        if (GetWindowTextA(child, title, sizeof title) > 0) {
            SetWindowTextA(GetParent(child), title);
        }
    }
    return 0;
}

// Splits `start` into the dialog's first folder and first file name.
void startingPlace(const FileRef& start, char* folder, size_t folderCapacity, char* name, size_t nameCapacity) {
    const int separator = lastSeparator(start.path);
    const size_t nameStart = separator < 0 ? 0 : static_cast<size_t>(separator) + 1;
    const size_t nameLength = strnlen(start.path + nameStart, nameCapacity - 1);
    std::memcpy(name, start.path + nameStart, nameLength);
    name[nameLength] = '\0';
    const size_t folderLength = nameStart < folderCapacity ? nameStart : folderCapacity - 1;
    std::memcpy(folder, start.path, folderLength);
    folder[folderLength] = '\0';
}

}  // namespace

Status runExportDialog(const Call& call,
                       const FileRef* start,
                       uint32_t fileType,
                       FileRef& chosen,
                       uint32_t& chosenType) {
    char filter[kFilterCapacity];
    if (buildExportFilter(filter, sizeof filter) == 0) {
        return kOutOfMemory;
    }
    char folder[MAX_PATH] = {};
    char fileName[MAX_PATH] = {};
    if (start != nullptr) {
        startingPlace(*start, folder, sizeof folder, fileName, sizeof fileName);
    }
    const int typeIndex = exportDialogTypeIndex(fileType);
    const HWND owner = static_cast<HWND>(call.documentWindow);
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.hInstance = static_cast<HINSTANCE>(call.moduleInstance);
    dialog.lpstrFilter = filter;
    dialog.nFilterIndex = typeIndex < 0 ? 1 : static_cast<DWORD>(typeIndex) + 1;
    dialog.lpstrFile = fileName;
    dialog.nMaxFile = sizeof fileName;
    dialog.lpstrInitialDir = folder[0] != '\0' ? folder : nullptr;
    dialog.lpTemplateName = MAKEINTRESOURCEA(kDialogExport);
    dialog.lpfnHook = exportDialogHook;
    // No overwrite prompt: an export replaces an existing file as SaveImage does with a
    // given DEST, and only once the new file is complete.
    dialog.Flags = OFN_EXPLORER | OFN_ENABLETEMPLATE | OFN_ENABLEHOOK | OFN_HIDEREADONLY | OFN_LONGNAMES |
                   OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_ENABLESIZING;
    const BOOL saved = GetSaveFileNameA(&dialog);
    const DWORD failure = saved ? 0 : CommDlgExtendedError();
    if (owner != nullptr) {
        InvalidateRect(owner, nullptr, FALSE);  // what the dialog covered
    }
    if (!saved) {
        if (failure == 0) {
            return kUserCanceled;
        }
        return failure == FNERR_BUFFERTOOSMALL || failure == FNERR_INVALIDFILENAME ? kBadName : kOutOfMemory;
    }
    const size_t length = strnlen(fileName, sizeof fileName);
    if (length >= sizeof chosen.path) {
        return kBadName;
    }
    const uint32_t type = exportDialogType(static_cast<int>(dialog.nFilterIndex) - 1);
    std::memcpy(chosen.path, fileName, length + 1);
    chosen.exists = GetFileAttributesA(chosen.path) != INVALID_FILE_ATTRIBUTES;
    chosenType = type != 0 ? type : exportDialogType(0);
    return kNoErr;
}

}  // namespace korvane
