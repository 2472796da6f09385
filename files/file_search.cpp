#include "files/file_search.h"

#include <cstring>
#include <new>

namespace korvane::files {
namespace {

// GetLogicalDriveStringsA: 26 roots of four bytes and the closing terminator, with room to spare.
constexpr DWORD kDriveStringsCapacity = 512;
// The longest folder whose own matches are searched, and the longest one listed for its
// subfolders (WalkPath holds no more than the latter).
constexpr size_t kMaxSearchedFolderLength = 258;
// A folder, its separator and a pattern, or a subfolder's path, before the limits are applied.
constexpr size_t kSearchTextCapacity = 521;
constexpr const char* kEveryEntry = "*.*";

bool isFolder(const WIN32_FIND_DATAA& entry) {
    return (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The first entry of `folder` + "\" + `pattern`; an invalid handle when there is none.
win32::unique_find_handle findFirst(const WalkPath& folder, const char* pattern, WIN32_FIND_DATAA* entry) {
    char text[kSearchTextCapacity];
    if (!joinSearchPath(folder.text(), pattern, text, sizeof text)) {
        return {};
    }
    return win32::unique_find_handle(FindFirstFileA(text, entry));
}

}  // namespace

bool searchesDrive(const char* root, DriveChoice drives) {
    if (drives == DriveChoice::kEvery) {
        return true;
    }
    const UINT type = GetDriveTypeA(root);
    return type == DRIVE_FIXED || type == DRIVE_RAMDISK;
}

Status FileSearch::begin(const char* pattern) {
    close();
    const size_t length = strnlen(pattern, sizeof pattern_);
    if (length == sizeof pattern_) {
        return kParamErr;
    }
    std::memcpy(pattern_, pattern, length + 1);
    open_ = true;
    return kNoErr;
}

Status FileSearch::startOnDrives(const char* pattern, DriveChoice drives) {
    if (const Status status = begin(pattern); status != kNoErr) {
        return status;
    }
    char roots[kDriveStringsCapacity];
    const DWORD length = GetLogicalDriveStringsA(sizeof roots, roots);
    if (length >= sizeof roots) {
        close();
        return kIoError;
    }
    try {
        for (const char* root = roots; root < roots + length && *root != '\0'; root += std::strlen(root) + 1) {
            WalkPath drive;
            if (searchesDrive(root, drives) && drive.assign(root)) {
                drive.dropTrailingSeparator();
                roots_.push_back(drive);
            }
        }
    } catch (const std::bad_alloc&) {
        close();
        return kOutOfMemory;
    }
    return kNoErr;
}

Status FileSearch::startOnVolume(const char* pattern, const char* root) {
    if (const Status status = begin(pattern); status != kNoErr) {
        return status;
    }
    WalkPath volume;
    if (!volume.assign(root)) {
        close();
        return kParamErr;
    }
    volume.dropTrailingSeparator();
    try {
        roots_.push_back(volume);
    } catch (const std::bad_alloc&) {
        close();
        return kOutOfMemory;
    }
    return kNoErr;
}

void FileSearch::close() {
    matches_.reset();
    frames_.clear();
    roots_.clear();
    nextRoot_ = 0;
    open_ = false;
}

bool FileSearch::enterNextRoot() {
    if (nextRoot_ >= roots_.size()) {
        return false;
    }
    Frame root;
    root.folder = roots_[nextRoot_++];
    frames_.push_back(std::move(root));
    return true;
}

bool FileSearch::nextMatch(Frame& frame, WIN32_FIND_DATAA* entry) {
    if (frame.stage == Stage::kMatchesNotStarted) {
        frame.stage = Stage::kMatching;
        if (frame.folder.length() <= kMaxSearchedFolderLength) {
            matches_ = findFirst(frame.folder, pattern_, entry);
        }
        return matches_.valid();
    }
    if (matches_ && FindNextFileA(matches_.get(), entry)) {
        return true;
    }
    matches_.reset();
    return false;
}

bool FileSearch::nextListed(Frame& frame, WIN32_FIND_DATAA* entry) {
    if (!frame.listingStarted) {
        frame.listingStarted = true;
        frame.listing = findFirst(frame.folder, kEveryEntry, entry);
        return frame.listing.valid();
    }
    return frame.listing && FindNextFileA(frame.listing.get(), entry);
}

void FileSearch::enterSubfolder(WalkPath parent, const char* name) {
    Frame child;
    child.folder = parent;
    if (!child.folder.appendSeparator() || !child.folder.append(name)) {
        return;  // too deep to be listed: passed over, as a folder that cannot be listed
    }
    frames_.push_back(std::move(child));
}

Status FileSearch::next(char* path, size_t capacity) {
    if (!open_) {
        return kFileNotFound;
    }
    // An empty removable drive must not bring up the system's "insert a disk" box.
    const UINT previousErrorMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    const auto restoreErrorMode = win32::scope_exit([previousErrorMode] { SetErrorMode(previousErrorMode); });
    WIN32_FIND_DATAA entry;
    try {
        for (;;) {
            if (frames_.empty()) {
                if (!enterNextRoot()) {
                    close();
                    return kFileNotFound;
                }
                continue;
            }
            Frame& frame = frames_.back();
            if (frame.stage != Stage::kWalking) {
                if (!nextMatch(frame, &entry)) {
                    frame.stage = Stage::kWalking;
                } else if (isAnswerableName(entry.cFileName) &&
                           joinSearchPath(frame.folder.text(), entry.cFileName, path, capacity)) {
                    return kNoErr;
                }
                continue;
            }
            if (!nextListed(frame, &entry)) {
                frames_.pop_back();
            } else if (isFolder(entry) && isEnteredFolderName(entry.cFileName)) {
                enterSubfolder(frame.folder, entry.cFileName);
            }
        }
    } catch (const std::bad_alloc&) {
        close();
        return kOutOfMemory;
    }
}

}  // namespace korvane::files
