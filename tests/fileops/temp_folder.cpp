#include "tests/fileops/temp_folder.h"

#include <vector>

#include "core/args.h"

namespace korvane::test {
namespace {

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

std::string readWholeFile(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return "<unreadable>";
    }
    std::string content;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof(chunk), &got, nullptr) && got > 0) {
        content.append(chunk, got);
    }
    CloseHandle(file);
    return content;
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
        (*out)[prefix + name] = isFolder ? kFolderMark : readWholeFile(folder + name);
        if (isFolder) {
            folders.push_back(name);
        }
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    for (const std::string& name : folders) {
        collect(folder + name + "\\", prefix + name + "\\", out);
    }
}

}  // namespace

std::wstring longForm(const std::string& path) {
    // Trimmed after widening: in Shift-JIS a trailing 0x5C byte may end a double-byte character.
    std::wstring wide = widen(path);
    while (!wide.empty() && wide.back() == L'\\') {
        wide.pop_back();
    }
    return L"\\\\?\\" + wide;
}

bool existsLong(const std::string& path) {
    return GetFileAttributesW(longForm(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string quotedPath(const std::string& path) {
    std::string text = "\"";
    bool secondByte = false;
    for (char c : path) {
        if (!secondByte && (c == '\\' || c == '"')) {
            text += '\\';
        }
        text += c;
        secondByte = !secondByte && isLeadByte(static_cast<unsigned char>(c));
    }
    return text + "\"";
}

void removeTreeForce(const std::string& folder) {
    removeWide(longForm(folder));
}

void TempFolderTest::SetUp() {
    char base[MAX_PATH];
    ASSERT_NE(GetTempPathA(MAX_PATH, base), 0u);
    static int counter = 0;
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    root_ = std::string(base) + "kfo" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter) + "_" +
            info->name() + "\\";
    removeTreeForce(root_);
    ASSERT_TRUE(CreateDirectoryA(root_.c_str(), nullptr)) << root_;
}

void TempFolderTest::TearDown() {
    removeTreeForce(root_);
}

void TempFolderTest::makeFolder(const std::string& relative) {
    ASSERT_TRUE(CreateDirectoryW(longForm(at(relative)).c_str(), nullptr)) << relative << " " << GetLastError();
}

void TempFolderTest::writeFile(const std::string& relative, const std::string& content) {
    HANDLE file = CreateFileW(longForm(at(relative)).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << relative << " " << GetLastError();
    DWORD written = 0;
    BOOL ok = WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(file);
    ASSERT_TRUE(ok && written == content.size()) << relative;
}

std::string TempFolderTest::readFile(const std::string& relative) const {
    return readWholeFile(at(relative));
}

bool TempFolderTest::exists(const std::string& relative) const {
    return GetFileAttributesA(at(relative).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void TempFolderTest::setReadOnly(const std::string& relative) {
    ASSERT_TRUE(SetFileAttributesA(at(relative).c_str(), FILE_ATTRIBUTE_READONLY)) << relative;
}

std::map<std::string, std::string> TempFolderTest::snapshot(const std::string& relative) const {
    std::map<std::string, std::string> items;
    std::string prefix = relative.empty() ? relative : relative + "\\";
    collect(at(prefix), prefix, &items);
    return items;
}

}  // namespace korvane::test
