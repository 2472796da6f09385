// KUtl-FindFile fetching every match of a tree of folders, one call per match, against
// one plain recursive FindFirstFileA walk of the same tree in the same run.
//
//   find_file_bench [FOLDERS [DRIVE]]   (defaults 5000 and R)
//
// FindFile searches whole volumes, so the tree (FOLDERS folders, each holding one match
// and one other file) is made on a drive of its own: DRIVE, best an otherwise empty one,
// such as the removable drive R: of the file tests' Wine prefix:
//   tools/wine-exec --prefix build/win32/files-wine build/win32/bench/find_file_bench.exe
// Both the plain walk and the search cover the whole drive. Timed: the plain walk; the
// calls through the handler (the result and the clipboard written for each match, as
// for a script); and the search alone, without the calls' own work.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/timing.h"
#include "files/file_functions.h"
#include "files/file_search.h"
#include "tests/files/temp_folder.h"
#include "tests/support/handler_fixture.h"

namespace {

constexpr int kDefaultFolders = 5000;
constexpr char kDefaultDrive = 'R';
constexpr int kFoldersPerBranch = 100;
constexpr const char* kMatchExtension = "kvb";

korvane::files::FileSearch gSearch;

korvane::Status findFile(korvane::Call& call) {
    return korvane::findFileHandler(call, &gSearch);
}

korvane::Status run(const std::string& text) {
    return korvane::test::runHandler(findFile, text).status;
}

void touch(const std::string& path) {
    CloseHandle(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// `count` folders: branches of kFoldersPerBranch, each folder with a match and another file.
void makeTree(const std::string& root, int count) {
    CreateDirectoryA(root.c_str(), nullptr);
    std::string branch;
    for (int i = 0; i < count; ++i) {
        std::string folder;
        if (i % kFoldersPerBranch == 0) {
            branch = root + "\\b" + std::to_string(i / kFoldersPerBranch);
            folder = branch;
        } else {
            folder = branch + "\\f" + std::to_string(i % kFoldersPerBranch);
        }
        CreateDirectoryA(folder.c_str(), nullptr);
        touch(folder + "\\match." + kMatchExtension);
        touch(folder + "\\other.txt");
    }
}

// One plain walk: every entry of every folder, counting the matches.
void plainWalk(const std::string& folder, int* matches) {
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((folder + "\\*.*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        const std::string name = entry.cFileName;
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            if (name[0] != '.') {
                plainWalk(folder + "\\" + name, matches);
            }
        } else if (name.size() > 4 && name.compare(name.size() - 4, 4, std::string(".") + kMatchExtension) == 0) {
            ++*matches;
        }
    } while (FindNextFileA(search, &entry));
    FindClose(search);
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : kDefaultFolders;
    const std::string device = std::string(1, argc > 2 ? argv[2][0] : kDefaultDrive) + ":";
    if (GetDriveTypeA((device + "\\").c_str()) <= DRIVE_NO_ROOT_DIR) {
        std::printf("no drive %s\n", device.c_str());
        return 1;
    }
    const std::string root = device + "\\korvane_find_bench";
    korvane::test::removeTree(root);
    makeTree(root, count);

    int plainMatches = 0;
    double start = korvane::bench::now();
    plainWalk(device, &plainMatches);
    const double plain = korvane::bench::now() - start;

    int callMatches = 0;
    start = korvane::bench::now();
    korvane::Status status = run(std::string("EXTENSION=") + kMatchExtension + " VOLUME=" + device);
    while (status == korvane::kNoErr) {
        ++callMatches;
        status = run("");
    }
    const double calls = korvane::bench::now() - start;

    int searchMatches = 0;
    char path[korvane::kWalkPathCapacity];
    start = korvane::bench::now();
    gSearch.startOnVolume((std::string("*.") + kMatchExtension).c_str(), device.c_str());
    while (gSearch.next(path, sizeof path) == korvane::kNoErr) {
        ++searchMatches;
    }
    const double search = korvane::bench::now() - start;

    std::printf("folders: %d, matches: plain walk %d, FindFile calls %d (ended with %d), search alone %d\n", count,
                plainMatches, callMatches, status, searchMatches);
    std::printf("plain recursive FindFirstFileA walk: %10.4f s\n", plain);
    std::printf("FindFile, one call per match:        %10.4f s (%.2fx the walk)\n", calls, calls / plain);
    std::printf("the search alone, one step per match: %9.4f s (%.2fx the walk)\n", search, search / plain);

    korvane::test::removeTree(root);
    const bool complete = plainMatches == count && callMatches == count && searchMatches == count;
    return complete ? 0 : 1;
}
