// KUtl-SetFileInfo on real files: what changes, what stays, and what a failure leaves.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "files/file_functions.h"
#include "tests/files/files_fixture.h"

namespace korvane {
namespace {

using namespace files_testing;

struct Times {
    SYSTEMTIME created;
    SYSTEMTIME modified;
};

Times localTimes(const std::string& path) {
    WIN32_FIND_DATAA entry{};
    HANDLE search = FindFirstFileA(path.c_str(), &entry);
    EXPECT_NE(search, INVALID_HANDLE_VALUE) << path;
    FindClose(search);
    Times times{};
    FILETIME local;
    FileTimeToLocalFileTime(&entry.ftCreationTime, &local);
    FileTimeToSystemTime(&local, &times.created);
    FileTimeToLocalFileTime(&entry.ftLastWriteTime, &local);
    FileTimeToSystemTime(&local, &times.modified);
    return times;
}

std::string dateText(const SYSTEMTIME& t) {
    return std::to_string(t.wYear) + "." + std::to_string(t.wMonth) + "." + std::to_string(t.wDay) + " " +
           std::to_string(t.wHour) + ":" + std::to_string(t.wMinute) + ":" + std::to_string(t.wSecond) + "." +
           std::to_string(t.wMilliseconds);
}

Status setInfo(const std::string& path, const std::string& more) {
    const HandlerRun run = runHandler(setFileInfoHandler, "PATH=" + quotedPath(path) + " " + more);
    EXPECT_FALSE(run.stored);
    return run.status;
}

TEST(SetFileInfoTest, RefusesACallThatChangesNothing) {
    TempFolder temp;
    writeFile(temp / "a.txt", "x");
    EXPECT_EQ(setInfo(temp / "a.txt", ""), kParamErr);
    EXPECT_EQ(setInfo(temp / "a.txt", "MODIFIEDDATE=garbage"), kParamErr);
    EXPECT_EQ(runHandler(setFileInfoHandler, "TOUCH").status, kParamErr);
    EXPECT_EQ(setInfo(temp / "missing.txt", "TOUCH"), kFileNotFound);
}

TEST(SetFileInfoTest, SetsDatesAndTimesKeepingWhatIsNotGiven) {
    TempFolder temp;
    const std::string file = temp / "a.txt";
    writeFile(file, "x");
    ASSERT_EQ(setInfo(file, "MODIFIEDDATE=03.1.2 MODIFIEDTIME=10:20:30 CREATEDDATE=1999/12/31"), kNoErr);
    Times times = localTimes(file);
    EXPECT_TRUE(startsWith(dateText(times.modified), "2003.1.2 10:20:30."));
    if (creationTimeSettable()) {
        EXPECT_TRUE(startsWith(dateText(times.created), "1999.12.31 "));
    }
    const WORD modifiedMs = times.modified.wMilliseconds;

    // A time alone keeps the date and the milliseconds.
    ASSERT_EQ(setInfo(file, "MODIFIEDTIME=8:09:10"), kNoErr);
    times = localTimes(file);
    EXPECT_EQ(dateText(times.modified), "2003.1.2 8:9:10." + std::to_string(modifiedMs));
    EXPECT_EQ(readFile(file), "x");
}

TEST(SetFileInfoTest, TouchStampsTheModificationTimeOnly) {
    TempFolder temp;
    const std::string file = temp / "a.txt";
    writeFile(file, "x");
    ASSERT_EQ(setInfo(file, "MODIFIEDDATE=2001.1.1 CREATEDDATE=2000.6.6"), kNoErr);
    SYSTEMTIME before;
    GetLocalTime(&before);
    ASSERT_EQ(setInfo(file, "TOUCH"), kNoErr);
    const Times times = localTimes(file);
    EXPECT_EQ(times.modified.wYear, before.wYear);
    EXPECT_EQ(times.modified.wDay, before.wDay);
    if (creationTimeSettable()) {
        EXPECT_TRUE(startsWith(dateText(times.created), "2000.6.6 "));
    }
}

TEST(SetFileInfoTest, SetsAndClearsAttributes) {
    TempFolder temp;
    const std::string file = temp / "a.txt";
    writeFile(file, "x");
    ASSERT_EQ(setInfo(file, "LOCKED INVISIBLE=yes"), kNoErr);
    EXPECT_EQ(attributesOf(file) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN),
              DWORD{FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN});
    ASSERT_EQ(setInfo(file, "INVISIBLE=no"), kNoErr);
    EXPECT_EQ(attributesOf(file) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN), DWORD{FILE_ATTRIBUTE_READONLY});
    ASSERT_EQ(setInfo(file, "LOCKED=FALSE"), kNoErr);
    EXPECT_EQ(attributesOf(file) & FILE_ATTRIBUTE_READONLY, 0u);
}

TEST(SetFileInfoTest, RenamesAReadOnlyFileAndKeepsItReadOnly) {
    TempFolder temp;
    writeFile(temp / "old.txt", "data");
    SetFileAttributesA((temp / "old.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_EQ(setInfo(temp / "old.txt", "NAME=new.txt"), kNoErr);
    EXPECT_FALSE(exists(temp / "old.txt"));
    EXPECT_EQ(readFile(temp / "new.txt"), "data");
    EXPECT_NE(attributesOf(temp / "new.txt") & FILE_ATTRIBUTE_READONLY, 0u);
}

TEST(SetFileInfoTest, RenamesAFolderGivenWithATrailingSeparator) {
    TempFolder temp;
    makeFolder(temp / "dir");
    writeFile(temp / "dir\\inside.txt", "x");
    ASSERT_EQ(setInfo(temp / "dir\\", "NAME=renamed"), kNoErr);
    EXPECT_EQ(readFile(temp / "renamed\\inside.txt"), "x");
    EXPECT_FALSE(exists(temp / "dir"));
}

TEST(SetFileInfoTest, AFailedRenameLeavesBothFilesAsTheyWere) {
    TempFolder temp;
    writeFile(temp / "a.txt", "first");
    writeFile(temp / "b.txt", "second");
    SetFileAttributesA((temp / "a.txt").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(setInfo(temp / "a.txt", "NAME=b.txt"), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(readFile(temp / "a.txt"), "first");
    EXPECT_EQ(readFile(temp / "b.txt"), "second");
    // The attributes cleared for the attempt are back.
    EXPECT_EQ(attributesOf(temp / "a.txt") & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN),
              DWORD{FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN});
}

TEST(SetFileInfoTest, RefusesNamesThatLeaveTheFolder) {
    TempFolder temp;
    makeFolder(temp / "sub");
    writeFile(temp / "sub\\a.txt", "x");
    const std::string rows[] = {"NAME=..\\\\a.txt", "NAME=C:x", "NAME=''", "NAME=" + std::string(261, 'n')};
    for (const std::string& row : rows) {
        SCOPED_TRACE(row);
        EXPECT_EQ(setInfo(temp / "sub\\a.txt", row), kBadName);
        EXPECT_EQ(readFile(temp / "sub\\a.txt"), "x");
    }
    EXPECT_FALSE(exists(temp / "a.txt"));
}

TEST(SetFileInfoTest, AnImpossibleDateChangesNothing) {
    TempFolder temp;
    const std::string file = temp / "a.txt";
    writeFile(file, "x");
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
    const Times before = localTimes(file);
    const Status status = setInfo(file, "MODIFIEDDATE=2003.13.1 INVISIBLE");
    EXPECT_NE(status, kNoErr);
    EXPECT_GT(status, 0);  // the system's own code
    const Times after = localTimes(file);
    EXPECT_EQ(dateText(after.modified), dateText(before.modified));
    EXPECT_EQ(attributesOf(file) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN), DWORD{FILE_ATTRIBUTE_READONLY});
}

TEST(SetFileInfoTest, SetsTheTimesOfAFolder) {
    TempFolder temp;
    makeFolder(temp / "dir");
    ASSERT_EQ(setInfo(temp / "dir", "MODIFIEDDATE=2002.2.2 MODIFIEDTIME=2:02:02"), kNoErr);
    EXPECT_TRUE(startsWith(dateText(localTimes(temp / "dir").modified), "2002.2.2 2:2:2."));
}

}  // namespace
}  // namespace korvane
