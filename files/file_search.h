#pragma once
// The search KUtl-FindFile keeps between its calls: volume by volume in drive order;
// within a volume the root folder first, then depth first, each folder's own matches
// before its subfolders, siblings in the system's listing order; within a folder the
// order of the system's wildcard search. Folders whose names begin with "." are neither
// searched nor entered, and "." and ".." are never answered.
//
// The walk's position (the open listing of every folder on the way down and the open
// wildcard search of the current folder) is kept from one call to the next, so a whole
// search costs one walk of the volumes, however many calls fetch its matches. A folder
// that cannot be listed is skipped; the search goes on.

#include <windows.h>

#include <cstddef>
#include <vector>

#include "core/status.h"
#include "files/file_ops_path.h"
#include "files/find_criteria.h"
#include "platform/win32/raii.h"

namespace korvane::files {

// Which drives a search over every drive takes.
enum class DriveChoice {
    kEvery,
    // Fixed disks and RAM disks only: network, removable and CD-ROM drives are left out.
    kLocalOnly,
};

// Whether a search over every drive takes the drive whose root is `root` (C:\).
bool searchesDrive(const char* root, DriveChoice drives);

class FileSearch {
  public:
    FileSearch() = default;
    FileSearch(const FileSearch&) = delete;
    FileSearch& operator=(const FileSearch&) = delete;

    // A new search for `pattern` on every drive; any open search is closed.
    Status startOnDrives(const char* pattern, DriveChoice drives);
    // A new search for `pattern` on the one volume whose root folder is `root` (C:,
    // \\srv\share); any open search is closed.
    Status startOnVolume(const char* pattern, const char* root);

    // Whether a search is open: the next call continues it.
    bool open() const { return open_; }

    // The next match's full path into `path` (capacity counts the terminator): kNoErr, or
    // kFileNotFound when there is none left; then the search is closed. A match whose
    // path would not fit `capacity` is passed over.
    Status next(char* path, size_t capacity);

    // Closes every listing and search; open() is false afterwards.
    void close();

  private:
    enum class Stage {
        kMatchesNotStarted,  // the folder's own matches are still to come
        kMatching,           // matches_ is the folder's open wildcard search
        kWalking,            // listing the folder for its subfolders
    };
    struct Frame {
        WalkPath folder;
        Stage stage = Stage::kMatchesNotStarted;
        bool listingStarted = false;
        win32::unique_find_handle listing;
    };

    Status begin(const char* pattern);
    // Starts the next volume's walk; false when there is none left.
    bool enterNextRoot();
    // The next entry of the folder's own wildcard search; false when it has no more.
    bool nextMatch(Frame& frame, WIN32_FIND_DATAA* entry);
    // The next entry of the folder's listing; false when it has no more.
    bool nextListed(Frame& frame, WIN32_FIND_DATAA* entry);
    // Pushes the subfolder `name` of `parent` to be walked next (a copy: `parent` may move).
    void enterSubfolder(WalkPath parent, const char* name);

    bool open_ = false;
    char pattern_[kSearchPatternCapacity] = {};
    std::vector<WalkPath> roots_;  // the volumes still to walk, in order
    size_t nextRoot_ = 0;
    std::vector<Frame> frames_;  // the folders from the volume's root down to the current one
    win32::unique_find_handle matches_;
};

}  // namespace korvane::files
