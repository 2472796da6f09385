// A script's walk of a folder by index (KUtl-FolderItemCount, then KUtl-GetFolderItem
// 1..N) against one plain FindFirstFileA listing of the same folder.
//
//   folder_walk_bench [N]   (default 5000; run under Wine with tools/wine-exec)
//
// The folder's N files are written and walked at once, as a script that fills a folder
// and then reads it back does; the walk is timed a second time, the folder unchanged.
// Both walks should cost about one listing: the listing is kept between the calls for
// as long as the folder's change notification reports nothing.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/args.h"
#include "files/file_functions.h"
#include "files/folder_listing.h"
#include "module/function_table.h"
#include "tests/support/fake_host.h"
#include "tests/support/parameter_text.h"

namespace {

constexpr int kDefaultCount = 5000;

double seconds() {
    LARGE_INTEGER frequency;
    LARGE_INTEGER now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The listing kept between the walk's calls, as the module's PluginState keeps it.
korvane::files::KeptFolderListing gListing;

korvane::Status folderItemCount(korvane::Call& call) {
    return korvane::folderItemCountHandler(call, &gListing);
}

korvane::Status getFolderItem(korvane::Call& call) {
    return korvane::getFolderItemHandler(call, &gListing);
}

korvane::Status run(korvane::Handler handler, const std::string& text, std::string* result) {
    korvane::test::FakeHost host;
    korvane::Status status;
    {
        korvane::test::ParameterText parameters(text);
        korvane::Call call;
        call.arguments = &parameters;
        call.host = &host;
        status = handler(call);
    }
    if (result != nullptr) {
        *result = host.result.value_or("");
    }
    return status;
}

std::string escaped(const std::string& path) {
    std::string text = "'";
    for (char c : path) {
        text += c == '\\' ? std::string("\\\\") : std::string(1, c);
    }
    return text + "'";
}

double plainListing(const std::string& folder, int* entries) {
    const double start = seconds();
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((folder + "\\*.*").c_str(), &entry);
    *entries = 0;
    if (search != INVALID_HANDLE_VALUE) {
        do {
            ++*entries;
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    return seconds() - start;
}

// The whole walk by index; `complete` false when an answer is missing.
double walkByIndex(const std::string& folder, bool* complete) {
    const std::string path = "PATH=" + escaped(folder);
    const double start = seconds();
    std::string count;
    *complete = run(folderItemCount, path, &count) == korvane::kNoErr;
    const int n = std::atoi(count.c_str());
    for (int i = 1; i <= n && *complete; ++i) {
        std::string name;
        *complete = run(getFolderItem, path + " INDEX=" + std::to_string(i), &name) == korvane::kNoErr && !name.empty();
    }
    return seconds() - start;
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : kDefaultCount;
    char temp[MAX_PATH + 1];
    GetTempPathA(sizeof temp, temp);
    const std::string folder = std::string(temp) + "korvane_walk_bench";
    CreateDirectoryA(folder.c_str(), nullptr);
    for (int i = 0; i < count; ++i) {
        const std::string file = folder + "\\item" + std::to_string(i) + ".txt";
        HANDLE handle =
            CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        CloseHandle(handle);
    }

    bool justWrittenComplete = false;
    bool unchangedComplete = false;
    const double justWritten = walkByIndex(folder, &justWrittenComplete);
    const double unchanged = walkByIndex(folder, &unchangedComplete);
    int entries = 0;
    const double listing = plainListing(folder, &entries);
    std::printf("items: %d (plain listing saw %d entries)\n", count, entries);
    std::printf("plain FindFirstFileA listing:       %10.4f s\n", listing);
    std::printf("walk right after writing the files:  %10.4f s (%.1fx the listing)%s\n", justWritten,
                justWritten / listing, justWrittenComplete ? "" : " INCOMPLETE");
    std::printf("walk again, the folder unchanged:    %10.4f s (%.1fx the listing)%s\n", unchanged, unchanged / listing,
                unchangedComplete ? "" : " INCOMPLETE");

    for (int i = 0; i < count; ++i) {
        DeleteFileA((folder + "\\item" + std::to_string(i) + ".txt").c_str());
    }
    RemoveDirectoryA(folder.c_str());
    return justWrittenComplete && unchangedComplete ? 0 : 1;
}
