#include "tests/files/temp_folder.h"

#include <vector>

#include "core/args.h"

namespace korvane::test {
namespace {

constexpr DWORD kReadChunk = 4096;
constexpr int kNameAttempts = 1000;

std::wstring widen(const std::string& text) {
    int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(length > 0 ? length : 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
    wide.resize(wide.size() - 1);
    return wide;
}

void removeWide(const std::wstring& folder) {
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..") {
                continue;
            }
            std::wstring item = folder + L"\\" + name;
            SetFileAttributesW(item.c_str(), FILE_ATTRIBUTE_NORMAL);
            if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                removeWide(item);
            } else {
                DeleteFileW(item.c_str());
            }
        } while (FindNextFileW(find, &entry));
        FindClose(find);
    }
    SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryW(folder.c_str());
}

// Lists `folder` (ending in "\"); `prefix` is its path relative to the test's folder.
void collect(const std::string& folder, const std::string& prefix, std::map<std::string, std::string>* out) {
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) {
        return;
    }
    std::vector<std::string> folders;
    do {
        std::string name = entry.cFileName;
        if (name == "." || name == "..") {
            continue;
        }
        bool isFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        (*out)[prefix + name] = isFolder ? kFolderMark : readFile(folder + name);
        if (isFolder) {
            folders.push_back(name);
        }
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    for (const std::string& name : folders) {
        collect(folder + name + "\\", prefix + name + "\\", out);
    }
}

std::string systemTempFolder() {
    char temp[MAX_PATH + 1];
    DWORD length = GetTempPathA(sizeof temp, temp);
    return length > 0 && length < sizeof temp ? std::string(temp, length) : std::string();
}

}  // namespace

std::wstring longForm(const std::string& path) {
    // Trimmed after widening: in Shift-JIS a trailing 0x5C byte may end a double-byte character.
    std::wstring wide = widen(path);
    while (!wide.empty() && wide.back() == L'\\') {
        wide.pop_back();
    }
    if (wide.size() >= 2 && wide[0] == L'\\' && wide[1] == L'\\') {
        return L"\\\\?\\UNC\\" + wide.substr(2);
    }
    bool driveAbsolute = wide.size() >= 2 && wide[1] == L':';
    return driveAbsolute ? L"\\\\?\\" + wide : wide;
}

bool existsLong(const std::string& path) {
    return GetFileAttributesW(longForm(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

DWORD attributesOf(const std::string& path) {
    return GetFileAttributesA(path.c_str());
}

void makeFolder(const std::string& path) {
    ASSERT_TRUE(CreateDirectoryW(longForm(path).c_str(), nullptr)) << path << " error " << GetLastError();
}

void writeFile(const std::string& path, const std::string& bytes) {
    HANDLE file =
        CreateFileW(longForm(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path << " error " << GetLastError();
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    ASSERT_TRUE(ok && written == bytes.size()) << path;
}

std::string readFile(const std::string& path) {
    HANDLE file =
        CreateFileW(longForm(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return "<unreadable>";
    }
    std::string content;
    char chunk[kReadChunk];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) {
        content.append(chunk, got);
    }
    CloseHandle(file);
    return content;
}

void removeTree(const std::string& folder) {
    removeWide(longForm(folder));
}

TempFolder::TempFolder(std::string parent, const std::string& label) {
    if (parent.empty()) {
        parent = systemTempFolder();
    }
    if (!parent.empty() && parent.back() != '\\') {
        parent += '\\';
    }
    static int serial = 0;
    const std::string tail = label.empty() ? label : "_" + label;
    for (int attempt = 0; attempt < kNameAttempts && path_.empty(); ++attempt) {
        const std::string candidate =
            parent + "korv" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++serial) + tail;
        if (CreateDirectoryA(candidate.c_str(), nullptr)) {
            path_ = candidate;
        }
    }
}

TempFolder::~TempFolder() {
    if (!path_.empty()) {
        removeTree(path_);
    }
}

TempFolderItems::TempFolderItems()
    : folder_(std::string(), ::testing::UnitTest::GetInstance()->current_test_info()->name()),
      root_(folder_.path() + "\\") {}

void TempFolderItems::setReadOnly(const std::string& relative) {
    ASSERT_TRUE(SetFileAttributesA(at(relative).c_str(), FILE_ATTRIBUTE_READONLY)) << relative;
}

std::map<std::string, std::string> TempFolderItems::snapshot(const std::string& relative) const {
    std::map<std::string, std::string> items;
    std::string prefix = relative.empty() ? relative : relative + "\\";
    collect(at(prefix), prefix, &items);
    return items;
}

}  // namespace korvane::test
