// KUtl-VolumeCount, KUtl-GetVolume, KUtl-FolderItemCount and KUtl-GetFolderItem:
// walking drives and folders by number.

#include <windows.h>

#include <bit>
#include <cstring>

#include "core/args.h"
#include "core/result_text.h"
#include "files/file_functions.h"
#include "files/folder_listing.h"
#include "platform/paths/file_ref.h"
#include "platform/win32/system_error.h"

namespace korvane {
namespace {

// GetLogicalDriveStringsA: 26 roots of four bytes and the closing terminator, with room to spare.
constexpr DWORD kDriveStringsCapacity = 512;
// Positional token that stands for INDEX when the tag is not a number.
constexpr int kVolumeIndexToken = 1;
constexpr int kFolderItemIndexToken = 2;
// A drive root, X:\, answered as X:.
constexpr size_t kDriveRootLength = 3;

// INDEX as a tag, else as positional token `token`. False when there is no number.
bool readIndex(const Arguments& args, int token, int32_t* index) {
    if (args.tagNumberChecked("INDEX", index)) {
        return true;
    }
    return args.argNumber(token, index);
}

// PATH resolved to an existing folder.
Status readFolder(const Arguments& args, FileRef* folder) {
    const char* path = args.tagValue("PATH");
    if (path == nullptr) {
        return kParamErr;
    }
    if (const Status status = resolvePath(path, folder); status != kNoErr) {
        return status;
    }
    return folder->isFolder ? kNoErr : kNotAFolder;
}

Status setNumberResult(Call& call, int32_t n) {
    LocalText<16> text;
    textSetNumber(text, n);
    return call.setResult(text.c_str());
}

}  // namespace

Status volumeCountHandler(Call& call) {
    const DWORD drives = GetLogicalDrives();
    if (drives == 0) {
        return win32::lastErrorStatus();
    }
    return setNumberResult(call, std::popcount(drives));
}

Status getVolumeHandler(Call& call) {
    const Arguments& args = call.args();
    int32_t index = 0;
    if (!readIndex(args, kVolumeIndexToken, &index)) {
        return kParamErr;
    }
    if (index <= 0) {
        return kNoSuchVolume;
    }
    char drives[kDriveStringsCapacity];
    const DWORD length = GetLogicalDriveStringsA(sizeof drives, drives);
    if (length == 0 || length >= sizeof drives) {
        return win32::lastErrorStatus();
    }
    char* root = drives;
    for (int32_t i = 1; i < index && *root != '\0'; ++i) {
        root += std::strlen(root) + 1;
    }
    if (*root == '\0') {
        return kNoSuchVolume;
    }
    if (std::strlen(root) == kDriveRootLength && root[1] == ':' && root[2] == '\\') {
        root[kDriveRootLength - 1] = '\0';
    }
    return call.setResult(root);
}

Status folderItemCountHandler(Call& call, files::KeptFolderListing* kept) {
    const Arguments& args = call.args();
    FileRef folder;
    if (const Status status = readFolder(args, &folder); status != kNoErr) {
        return status;
    }
    int32_t count = 0;
    if (const DWORD error = files::countFolderItems(folder.path, &count, kept); error != files::kNoError) {
        return win32::statusForSystemError(error);
    }
    return setNumberResult(call, count);
}

Status getFolderItemHandler(Call& call, files::KeptFolderListing* kept) {
    const Arguments& args = call.args();
    FileRef folder;
    if (const Status status = readFolder(args, &folder); status != kNoErr) {
        return status;
    }
    int32_t index = 0;
    if (!readIndex(args, kFolderItemIndexToken, &index)) {
        return kParamErr;
    }
    if (index <= 0) {
        return kNoSuchVolume;
    }
    // A name of MAX_PATH characters, the ":" of a folder and the terminator.
    char name[MAX_PATH + 2];
    bool isFolder = false;
    if (const DWORD error = files::folderItemAt(folder.path, index, name, MAX_PATH + 1, &isFolder, kept);
        error != files::kNoError) {
        return win32::statusForSystemError(error);
    }
    if (isFolder) {
        std::strcat(name, ":");
    }
    return call.setResult(name);
}

}  // namespace korvane
