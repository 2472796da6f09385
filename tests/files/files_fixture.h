#pragma once
// For the file-function tests under Wine: the shared temporary-folder helpers
// (temp_folder.h), shortcuts made through the shell link object, the clipboard, and
// the drives the test prefix is given (see setup_drives.sh).

#include <windows.h>

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

#include "files/folder_listing.h"
#include "tests/files/temp_folder.h"
#include "tests/support/fake_host.h"
#include "tests/support/handler_fixture.h"
#include "tests/support/wine_gap.h"

namespace korvane::files_testing {

// The folder listing the tests keep between their calls, as PluginState keeps the module's.
inline files::KeptFolderListing& testListing() {
    static files::KeptFolderListing listing;
    return listing;
}
inline void forgetTestListing() {
    testListing() = files::KeptFolderListing{};
}
// A listing handler as a handler of the table's shape, listing through testListing().
template <Status (*ListingHandler)(Call&, files::KeptFolderListing*)>
Status withTestListing(Call& call) {
    return ListingHandler(call, &testListing());
}

using test::attributesOf;
using test::exists;
using test::HandlerRun;
using test::makeFolder;
using test::quotedPath;
using test::readFile;
using test::runHandler;
using test::TempFolder;
using test::writeFile;

// Drives made by setup_drives.sh before the tests run.
inline constexpr char kDataDrive = 'T';  // fixed disk labelled kDataLabel
inline constexpr const char* kDataLabel = "KorvData";
inline constexpr char kRemovableDrive = 'R';       // removable (floppy) drive
inline constexpr char kCdromDrive = 'S';           // CD-ROM drive
inline constexpr const char* kServer = "korvsrv";  // \\korvsrv\share
inline constexpr const char* kShare = "share";

inline std::string driveRoot(char drive) {
    return std::string(1, drive) + ":\\";
}

// Makes a shortcut file at `linkPath` whose target is `target`.
inline bool makeShortcut(const std::string& linkPath, const std::string& target) {
    const HRESULT init = CoInitialize(nullptr);
    bool made = false;
    IShellLinkA* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        link->SetPath(target.c_str());
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            wchar_t wide[MAX_PATH + 1];
            MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide, MAX_PATH + 1);
            made = SUCCEEDED(file->Save(wide, TRUE));
            file->Release();
        }
        link->Release();
    }
    if (SUCCEEDED(init)) {
        CoUninitialize();
    }
    return made;
}

// The clipboard's plain text, or "<none>".
inline std::string clipboardText() {
    std::string text = "<none>";
    if (!OpenClipboard(nullptr)) {
        return text;
    }
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* bytes = static_cast<const char*>(GlobalLock(data))) {
            text = bytes;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

// Whether `text` begins with `start` (a failing check shows both).
inline ::testing::AssertionResult startsWith(const std::string& text, const std::string& start) {
    if (text.compare(0, start.size(), start) == 0) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "\"" << text << "\" does not begin with \"" << start << "\"";
}

// Known Wine gap: a file's creation time cannot be set (Wine reports another time).
inline bool creationTimeSettable() {
    return !test::runningOnWine();
}

}  // namespace korvane::files_testing
