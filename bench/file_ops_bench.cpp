// Copying a tree of 1,000 small files and 10 MB of larger ones with the tree walk,
// side by side with a plain CopyFileA loop over the same tree in the same run.
// Usage: file_ops_bench [ROUNDS]   (prints the median of each, in milliseconds)

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "files/file_ops.h"

namespace {

constexpr int kSmallFolders = 10;
constexpr int kSmallFilesPerFolder = 100;
constexpr int kSmallFileSize = 1024;
constexpr int kLargeFiles = 10;
constexpr int kLargeFileSize = 1024 * 1024;

double nowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

bool writeFile(const std::string& path, size_t size, char fill) {
    std::string data(size, fill);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    BOOL ok = WriteFile(file, data.data(), static_cast<DWORD>(size), &written, nullptr);
    CloseHandle(file);
    return ok && written == size;
}

bool makeTree(const std::string& root) {
    if (!CreateDirectoryA(root.c_str(), nullptr)) {
        return false;
    }
    for (int f = 0; f < kSmallFolders; ++f) {
        std::string folder = root + "\\small" + std::to_string(f);
        if (!CreateDirectoryA(folder.c_str(), nullptr)) {
            return false;
        }
        for (int i = 0; i < kSmallFilesPerFolder; ++i) {
            if (!writeFile(folder + "\\file" + std::to_string(i) + ".dat", kSmallFileSize,
                           static_cast<char>('a' + i % 26))) {
                return false;
            }
        }
    }
    std::string large = root + "\\large";
    if (!CreateDirectoryA(large.c_str(), nullptr)) {
        return false;
    }
    for (int i = 0; i < kLargeFiles; ++i) {
        if (!writeFile(large + "\\big" + std::to_string(i) + ".bin", kLargeFileSize, static_cast<char>('A' + i))) {
            return false;
        }
    }
    return true;
}

// The plain loop the walk is measured against: list, create folders, CopyFileA each file.
bool plainCopy(const std::string& source, const std::string& target) {
    if (!CreateDirectoryA(target.c_str(), nullptr)) {
        return false;
    }
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((source + "\\*.*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) {
        return false;
    }
    bool ok = true;
    do {
        std::string name = entry.cFileName;
        if (name == "." || name == "..") {
            continue;
        }
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            ok = plainCopy(source + "\\" + name, target + "\\" + name);
        } else {
            ok = CopyFileA((source + "\\" + name).c_str(), (target + "\\" + name).c_str(), TRUE) != FALSE;
        }
    } while (ok && FindNextFileA(find, &entry));
    FindClose(find);
    return ok;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string base = std::string(temp) + "korvane_copy_bench_" + std::to_string(GetCurrentProcessId());
    std::string source = base + "\\tree";
    if (!CreateDirectoryA(base.c_str(), nullptr) || !makeTree(source)) {
        std::fprintf(stderr, "cannot make the tree in %s\n", base.c_str());
        return 1;
    }

    std::vector<double> walk;
    std::vector<double> plain;
    std::vector<double> removal;
    for (int round = 0; round < rounds; ++round) {
        std::string walkTarget = base + "\\walk";
        std::string plainTarget = base + "\\plain";
        CreateDirectoryA(walkTarget.c_str(), nullptr);
        CreateDirectoryA(plainTarget.c_str(), nullptr);
        // Alternate the order so neither side always runs with the warmer cache.
        for (int side = 0; side < 2; ++side) {
            bool walkSide = (side + round) % 2 == 0;
            double start = nowMs();
            bool ok = walkSide
                          ? korvane::transferTree(source.c_str(), walkTarget.c_str(), korvane::TransferOp::kCopy) == 0
                          : plainCopy(source, plainTarget + "\\tree");
            double elapsed = nowMs() - start;
            if (!ok) {
                std::fprintf(stderr, "copy failed (%s)\n", walkSide ? "walk" : "plain");
                return 1;
            }
            (walkSide ? walk : plain).push_back(elapsed);
        }
        double start = nowMs();
        korvane::transferTree(walkTarget.c_str(), nullptr, korvane::TransferOp::kDelete);
        removal.push_back(nowMs() - start);
        korvane::transferTree(plainTarget.c_str(), nullptr, korvane::TransferOp::kDelete);
    }
    korvane::transferTree(base.c_str(), nullptr, korvane::TransferOp::kDelete);

    double walkMs = median(walk);
    double plainMs = median(plain);
    std::printf("tree: %d small files of %d bytes, %d files of %d bytes; %d rounds (medians)\n",
                kSmallFolders * kSmallFilesPerFolder, kSmallFileSize, kLargeFiles, kLargeFileSize, rounds);
    std::printf("transferTree copy  %8.1f ms\n", walkMs);
    std::printf("plain CopyFileA    %8.1f ms\n", plainMs);
    std::printf("ratio              %8.3f\n", walkMs / plainMs);
    std::printf("transferTree delete %7.1f ms\n", median(removal));
    return 0;
}
