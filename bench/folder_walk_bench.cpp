// A script's walk of a folder by index (KUtl-FolderItemCount, then KUtl-GetFolderItem
// 1..N) against one plain FindFirstFileA listing of the same folder.
//
//   folder_walk_bench [N [SAMPLE]]   (defaults 5000 and 200; run under Wine with tools/wine-exec)
//
// The walk is timed twice: with the kept listing (the folder unchanged, as when a
// script walks it) and with a folder changed within the last seconds, whose listing is
// never kept: every call lists the folder afresh up to its index, as a walk without
// the kept listing does. The second is quadratic, so only SAMPLE calls at evenly
// spaced indexes are timed and the whole walk is projected from them.

#include <windows.h>

#include <algorithm>
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
constexpr int kDefaultSample = 200;
// File time units in one minute.
constexpr ULONGLONG kFileTimeMinute = 600'000'000;

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

// Sets the folder's modification time `age` back from now.
void setFolderAge(const std::string& folder, ULONGLONG age) {
    HANDLE handle = CreateFileA(folder.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER old{{now.dwLowDateTime, now.dwHighDateTime}};
    old.QuadPart -= age;
    const FILETIME past{old.LowPart, old.HighPart};
    SetFileTime(handle, nullptr, nullptr, &past);
    CloseHandle(handle);
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

// The whole walk with the kept listing; false when an answer is missing.
double keptWalk(const std::string& folder, bool* complete) {
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

// The walk of a folder modified just now, projected from `sample` calls at evenly spaced indexes.
double freshWalk(const std::string& folder, int count, int sample, bool* complete) {
    const std::string path = "PATH=" + escaped(folder);
    double spent = 0;
    *complete = true;
    for (int k = 0; k < sample && *complete; ++k) {
        const int index = 1 + static_cast<int>(static_cast<long long>(k) * count / sample);
        setFolderAge(folder, 0);
        gListing = korvane::files::KeptFolderListing{};
        const double start = seconds();
        std::string name;
        *complete =
            run(getFolderItem, path + " INDEX=" + std::to_string(index), &name) == korvane::kNoErr && !name.empty();
        spent += seconds() - start;
    }
    return spent / sample * (count + 1);
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : kDefaultCount;
    const int sample = std::min(count, argc > 2 ? std::atoi(argv[2]) : kDefaultSample);
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
    setFolderAge(folder, kFileTimeMinute);

    int entries = 0;
    const double listing = plainListing(folder, &entries);
    bool keptComplete = false;
    bool freshComplete = false;
    const double kept = keptWalk(folder, &keptComplete);
    const double fresh = freshWalk(folder, count, sample, &freshComplete);
    std::printf("items: %d (plain listing saw %d entries)\n", count, entries);
    std::printf("plain FindFirstFileA listing:      %10.4f s\n", listing);
    std::printf("walk with the kept listing:         %10.4f s (%.1fx the listing)%s\n", kept, kept / listing,
                keptComplete ? "" : " INCOMPLETE");
    std::printf("walk of a folder changed just now:  %10.4f s (%.1fx the listing; projected from %d calls)%s\n", fresh,
                fresh / listing, sample, freshComplete ? "" : " INCOMPLETE");

    for (int i = 0; i < count; ++i) {
        DeleteFileA((folder + "\\item" + std::to_string(i) + ".txt").c_str());
    }
    RemoveDirectoryA(folder.c_str());
    return keptComplete && freshComplete ? 0 : 1;
}
