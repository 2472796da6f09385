// The rules that turn a system error code into a status.

#include "platform/win32/system_error.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

TEST(SystemErrorTest, CodesBecomeStatuses) {
    struct Row {
        DWORD error;
        Status status;
    };
    const Row rows[] = {
        {ERROR_FILE_NOT_FOUND, ERROR_FILE_NOT_FOUND},
        {ERROR_ACCESS_DENIED, ERROR_ACCESS_DENIED},
        {ERROR_NO_MORE_FILES, ERROR_NO_MORE_FILES},
        {32767, 32767},
        {ERROR_NOT_ENOUGH_MEMORY, kOutOfMemory},
        {ERROR_OUTOFMEMORY, kOutOfMemory},
        {ERROR_SUCCESS, kIoError},  // a failure that left no code
        {32768, kIoError},          // too large for a status
        {0x80070005, kIoError},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(win32::statusForSystemError(rows[i].error), rows[i].status);
    }
}

TEST(SystemErrorTest, FileOpenFailuresAnswerAsTheMediaLayer) {
    struct Row {
        DWORD error;
        Status status;
    };
    const Row rows[] = {
        {ERROR_FILE_NOT_FOUND, kFileNotFound},
        {ERROR_PATH_NOT_FOUND, kFileNotFound},
        {ERROR_BAD_NETPATH, kFileNotFound},
        {ERROR_ACCESS_DENIED, kPermissionError},
        {ERROR_SHARING_VIOLATION, kPermissionError},
        {ERROR_OUTOFMEMORY, kOutOfMemory},
        {ERROR_CRC, kIoError},
        {ERROR_SUCCESS, kIoError},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(win32::mediaStatusForOpenError(rows[i].error), rows[i].status);
    }
}

TEST(SystemErrorTest, LastErrorIsRead) {
    SetLastError(ERROR_SHARING_VIOLATION);
    EXPECT_EQ(win32::lastErrorStatus(), ERROR_SHARING_VIOLATION);
}

}  // namespace
}  // namespace korvane
