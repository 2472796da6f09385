// KUtl-EjectVolume on the test prefix's drives: removable and CD-ROM drives are ejected;
// fixed disks, network volumes and unknown names are refused without touching a device.
// (Wine reads a removable drive's label from the medium only, so no test prefix can give
// one a label: the label rows name the fixed disk, which is found and refused.)

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "files/file_functions.h"
#include "tests/files/files_fixture.h"

namespace korvane {
namespace {

using namespace files_testing;

TEST(EjectVolumeTest, EjectsRemovableMediaAndRefusesEveryOtherDrive) {
    const std::string share = std::string(kServer) + "::" + kShare;
    struct Row {
        std::string parameter;
        Status status;
    };
    const Row rows[] = {
        {std::string("VOLUME=") + kRemovableDrive, kNoErr},
        {std::string("VOLUME=") + kCdromDrive + ":", kNoErr},
        {std::string("PATH=") + kCdromDrive + ":\\\\some\\\\file.txt", kNoErr},
        {std::string("VOLUME=") + kDataDrive, kParamErr},  // fixed
        {"VOLUME=C:", kParamErr},
        {std::string("NAME=") + kDataLabel, kParamErr},  // a fixed disk by its label
        {"VOLUME='" + share + "'", kParamErr},           // network
        {"VOLUME='\\\\\\\\korvsrv\\\\share'", kParamErr},
        {"NAME=NoSuchLabel", kParamErr},
        {"NAME=" + std::string(63, 'n'), kNoSuchVolume},  // longer than any volume name
        {"", kParamErr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.parameter);
        EXPECT_EQ(runHandler(ejectVolumeHandler, row.parameter).status, row.status);
    }
}

}  // namespace
}  // namespace korvane
