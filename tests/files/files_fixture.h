#pragma once
// Real files for the file-function tests under Wine: a temporary folder per test,
// files and folders made in it, shortcuts made through the shell link object, and
// the drives the test prefix is given (see setup_drives.sh).

#include <windows.h>

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

#include "core/args.h"
#include "tests/support/fake_host.h"
#include "tests/support/handler_fixture.h"

namespace korvane::files_testing {

using test::HandlerRun;
using test::runHandler;

// A path as a parameter value: quoted, with its backslashes and apostrophes escaped.
inline std::string quoted(const std::string& path) {
    std::string text = "'";
    bool trail = false;
    for (char c : path) {
        if (!trail && (c == '\\' || c == '\'')) {
            text += '\\';
        }
        trail = !trail && isLeadByte(static_cast<unsigned char>(c));
        text += c;
    }
    return text + "'";
}

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

inline bool exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline DWORD attributesOf(const std::string& path) {
    return GetFileAttributesA(path.c_str());
}

inline void writeFile(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    ASSERT_EQ(written, bytes.size());
}

inline std::string readFile(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return "<missing>";
    }
    char buffer[4096];
    DWORD read = 0;
    ReadFile(file, buffer, sizeof buffer, &read, nullptr);
    CloseHandle(file);
    return std::string(buffer, read);
}

inline void makeFolder(const std::string& path) {
    ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << path << " error " << GetLastError();
}

// Removes a tree, clearing read-only and hidden attributes on the way.
inline void removeTree(const std::string& path) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = entry.cFileName;
            if (name == "." || name == "..") {
                continue;
            }
            const std::string child = path + "\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                removeTree(child);
            } else {
                SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(child.c_str());
            }
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

// A fresh folder for one test, under `parent` (the system's temporary folder by default).
class TempFolder {
  public:
    explicit TempFolder(std::string parent = {}) {
        if (parent.empty()) {
            char temp[MAX_PATH + 1];
            GetTempPathA(sizeof temp, temp);
            parent = temp;
        }
        if (parent.back() != '\\') {
            parent += '\\';
        }
        static int serial = 0;
        for (int attempt = 0; attempt < 1000 && path_.empty(); ++attempt) {
            const std::string candidate =
                parent + "korv" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++serial);
            if (CreateDirectoryA(candidate.c_str(), nullptr)) {
                path_ = candidate;
            }
        }
    }
    ~TempFolder() {
        if (!path_.empty()) {
            removeTree(path_);
        }
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

  private:
    std::string path_;
};

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

// Whether the program runs under Wine (for gaps of Wine that are marked, not hidden).
inline bool runningOnWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// Known Wine gap: a file's creation time cannot be set (Wine reports another time).
inline bool creationTimeSettable() {
    return !runningOnWine();
}

}  // namespace korvane::files_testing
