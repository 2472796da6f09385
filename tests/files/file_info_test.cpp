// KUtl-FileInfo on real files, folders, shortcuts and the prefix's drives.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "files/file_functions.h"
#include "tests/files/files_fixture.h"

namespace korvane {
namespace {

using namespace files_testing;

// Sets a file's creation and modification times from local date-times.
void setLocalTimes(const std::string& path, const SYSTEMTIME& created, const SYSTEMTIME& modified) {
    FILETIME local;
    FILETIME createdTime;
    FILETIME modifiedTime;
    ASSERT_TRUE(SystemTimeToFileTime(&created, &local));
    ASSERT_TRUE(LocalFileTimeToFileTime(&local, &createdTime));
    ASSERT_TRUE(SystemTimeToFileTime(&modified, &local));
    ASSERT_TRUE(LocalFileTimeToFileTime(&local, &modifiedTime));
    HANDLE file =
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(SetFileTime(file, &createdTime, nullptr, &modifiedTime));
    CloseHandle(file);
}

SYSTEMTIME localStamp(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second) {
    SYSTEMTIME t{};
    t.wYear = year;
    t.wMonth = month;
    t.wDay = day;
    t.wHour = hour;
    t.wMinute = minute;
    t.wSecond = second;
    return t;
}

std::string info(const std::string& path, const std::string& more = "") {
    const HandlerRun run = runHandler(withTestListing<fileInfoHandler>, "PATH=" + quotedPath(path) + more);
    EXPECT_EQ(run.status, kNoErr) << path;
    return run.result;
}

// The text of a file or folder's date items as FileInfo writes them. Known Wine gap:
// the creation time cannot be set, so there it is not compared.
const std::string kCreated = " CREATEDDATE=2001.2.3 CREATEDTIME=4:05:06";
const std::string kModified = " MODIFIEDDATE=2003.7.5 MODIFIEDTIME=9:05:03";

// `text` with the creation items left out where they cannot be set.
std::string comparable(std::string text) {
    const size_t created = text.find(" CREATEDDATE=");
    if (!creationTimeSettable() && created != std::string::npos) {
        text.erase(created, text.find(" MODIFIEDDATE=") - created);
    }
    return text;
}
const std::string kStamps = creationTimeSettable() ? kCreated + kModified : kModified;

TEST(FileInfoTest, DescribesAFile) {
    TempFolder temp;
    const std::string file = temp / "archive.tar.gz";
    writeFile(file, "12345");
    setLocalTimes(file, localStamp(2001, 2, 3, 4, 5, 6), localStamp(2003, 7, 5, 9, 5, 3));
    EXPECT_EQ(comparable(info(file)),
              "NAME='archive.tar.gz' KIND=file SIZE=5 DATASIZE=5 EXTENSION='gz' LOCKED=False "
              "INVISIBLE=False" +
                  kStamps);

    const std::string readme = temp / "README";
    writeFile(readme, "");
    SetFileAttributesA(readme.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    const std::string text = info(readme);
    EXPECT_EQ(text.substr(0, text.find(" CREATEDDATE")),
              "NAME='README' KIND=file SIZE=0 DATASIZE=0 EXTENSION='' LOCKED=True INVISIBLE=True");
}

TEST(FileInfoTest, DescribesAFolderWithItsLocationAndPath) {
    TempFolder temp;
    const std::string folder = temp / "sub";
    makeFolder(folder);
    writeFile(folder + "\\a", "x");
    writeFile(folder + "\\b", "x");
    setLocalTimes(folder, localStamp(2001, 2, 3, 4, 5, 6), localStamp(2003, 7, 5, 9, 5, 3));
    auto escaped = [](const std::string& path) {
        std::string text;
        for (char c : path) {
            text += c == '\\' ? std::string("\\\\") : std::string(1, c);
        }
        return text;
    };
    // Given with a trailing separator, the folder is still described by its own name.
    EXPECT_EQ(comparable(info(folder + "\\", " EXTRA")),
              "NAME='sub' KIND=folder ITEMCOUNT=2 LOCKED=False INVISIBLE=False" + kStamps + " LOCATION='" +
                  escaped(temp.path() + "\\") + "' PATH='" + escaped(folder + "\\") + "'");
}

TEST(FileInfoTest, DescribesAFileOfFiveGibibytes) {
    TempFolder temp;
    const std::string file = temp / "big.bin";
    HANDLE handle = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    LARGE_INTEGER size;
    size.QuadPart = 5LL << 30;
    const bool grown = SetFilePointerEx(handle, size, nullptr, FILE_BEGIN) && SetEndOfFile(handle);
    CloseHandle(handle);
    if (!grown) {
        GTEST_SKIP() << "no room for a sparse 5 GiB file here";
    }
    EXPECT_NE(info(file).find(" SIZE=5368709120 DATASIZE=5368709120 EXTENSION='bin'"), std::string::npos);
}

TEST(FileInfoTest, DescribesAShortcutAndReadsItsTarget) {
    TempFolder temp;
    const std::string target = temp / "target.txt";
    writeFile(target, "x");
    const std::string link = temp / "report.LNK";
    ASSERT_TRUE(makeShortcut(link, target));
    const std::string plain = info(link);
    EXPECT_EQ(plain.substr(0, plain.find(" LOCKED")), "NAME='report.LNK' KIND=shortcut");
    const std::string extra = info(link, " EXTRA");
    std::string escapedTarget;
    for (char c : target) {
        escapedTarget += c == '\\' ? std::string("\\\\") : std::string(1, c);
    }
    EXPECT_NE(extra.find(" ORIGINAL='" + escapedTarget + "'"), std::string::npos) << extra;

    // A file that merely ends in .lnk is a shortcut without a readable target: no ORIGINAL.
    const std::string fake = temp / "fake.lnk";
    writeFile(fake, "not a shortcut");
    const std::string fakeInfo = info(fake, " EXTRA");
    EXPECT_NE(fakeInfo.find("KIND=shortcut"), std::string::npos);
    EXPECT_EQ(fakeInfo.find("ORIGINAL"), std::string::npos);
}

TEST(FileInfoTest, DescribesVolumes) {
    struct Row {
        std::string path;
        std::string start;
    };
    const Row rows[] = {
        {"C:\\", "NAME='C' KIND=volume ITEMCOUNT="},
        {"T:", "NAME='T' KIND=volume ITEMCOUNT="},
        {"R:\\", "NAME='R' KIND=volume ITEMCOUNT="},
        {"S:", "NAME='S' KIND=volume ITEMCOUNT="},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.path);
        const std::string text = info(row.path, " EXTRA");
        EXPECT_EQ(text.substr(0, row.start.size()), row.start);
        const bool ejectable = row.path[0] == 'R' || row.path[0] == 'S';
        EXPECT_NE(text.find(ejectable ? " EJECTABLE=True" : " EJECTABLE=False"), std::string::npos) << text;
        EXPECT_EQ(text.find("LOCKED"), std::string::npos);
        EXPECT_EQ(text.find("DATE"), std::string::npos);
        EXPECT_NE(text.find(" FILESYSTEM="), std::string::npos);
        EXPECT_NE(text.find(" PATH='" + row.path.substr(0, 2) + "\\\\'"), std::string::npos) << text;
    }
    const std::string c = info("C:");
    EXPECT_NE(c.find(" SIZE="), std::string::npos);
    EXPECT_NE(c.find(" FREE="), std::string::npos);
}

TEST(FileInfoTest, DescribesAShareAsAVolume) {
    const std::string text = info("\\\\korvsrv\\share\\", " EXTRA");
    EXPECT_TRUE(startsWith(text, "NAME='share' KIND=volume ITEMCOUNT=0 EJECTABLE=False"));
    EXPECT_NE(text.find(" SERVER=korvsrv"), std::string::npos) << text;
    EXPECT_NE(text.find(" PATH='korvsrv::share:'"), std::string::npos) << text;
    // Given in the network form, the share's path is the same.
    EXPECT_NE(info("korvsrv::share", " EXTRA").find(" PATH='korvsrv::share:'"), std::string::npos);
}

TEST(FileInfoTest, ReportsMissingItemsAndArguments) {
    TempFolder temp;
    EXPECT_EQ(runHandler(withTestListing<fileInfoHandler>, "PATH=" + quotedPath(temp / "missing")).status,
              kFileNotFound);
    EXPECT_EQ(runHandler(withTestListing<fileInfoHandler>, "EXTRA").status, kParamErr);
    const HandlerRun run = runHandler(withTestListing<fileInfoHandler>, "PATH=" + quotedPath(temp / "missing"));
    EXPECT_FALSE(run.stored);
}

TEST(FileInfoTest, EscapesNamesThatHoldAnApostrophe) {
    TempFolder temp;
    writeFile(temp / "It's.txt", "x");
    const std::string text = info(temp / "It's.txt");
    EXPECT_TRUE(startsWith(text, "NAME='It\\'s.txt' KIND=file SIZE=1"));
}

}  // namespace
}  // namespace korvane
