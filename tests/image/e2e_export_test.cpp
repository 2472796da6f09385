// KImg-SaveImage through the host emulator when its settings are not complete: our export
// dialog answered by the host's responder (the chosen type and file, where it starts, cancel),
// and what failing exports leave on disk: a read-only disk, a full one, a folder that is gone.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>

#include "tests/files/temp_folder.h"
#include "tests/image/image_files.h"
#include "tests/support/module_host.h"
#include "tests/support/quoted_text.h"

namespace korvane::image_testing {
namespace {

using test::quotedPath;

// The file type list of the system's save dialog.
constexpr int kTypeList = 1136;
// A composition large enough (a BMP of about 360 KB) not to fit on the small disk.
constexpr char kLargeComposition[] = "WIDTH=400 HEIGHT=300 ";

// The names in a folder, without "." and "..".
std::set<std::string> namesIn(const std::string& folder) {
    std::set<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..") {
            names.insert(name);
        }
    } while (FindNextFileA(find, &found));
    FindClose(find);
    return names;
}

// A folder of the machine that export_disks.sh prepared, as Wine shows it under Z:; "" when
// the variable is not set.
std::string preparedFolder(const char* variable) {
    const char* machinePath = std::getenv(variable);
    if (machinePath == nullptr || machinePath[0] != '/') {
        return {};
    }
    std::string path = std::string("Z:") + machinePath;
    for (char& c : path) {
        c = c == '/' ? '\\' : c;
    }
    return path;
}

class ExportEndToEnd : public test::ModuleTest, protected test::TempFolderItems {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folderMade());
        ModuleTest::SetUp();
        host.responder().start(GetCurrentThreadId());
    }
    void TearDown() override { host.responder().stop(); }

    // SaveImage of a white composition, the export dialog (if one shows) answered by `response`.
    std::string save(const std::string& parameter,
                     const std::string& response = {},
                     const std::string& composition = "WIDTH=30 HEIGHT=20 ") {
        if (!response.empty()) {
            std::string error;
            EXPECT_TRUE(host.responder().queue(response, error)) << error;
        }
        return call("KImg-SaveImage", composition + parameter);
    }

    // The failures on a disk of export_disks.sh: a given DEST, a new name, and a file chosen in
    // the dialog all answer `expected`, and the disk stays as it was.
    void failsLeavingTheDisk(const std::string& folder, Status expected) {
        const std::string keep = folder + "\\keep.bmp";
        const std::string before = test::readFile(keep);
        const std::set<std::string> names = namesIn(folder);
        const std::string status = "ERROR=" + std::to_string(expected) + " ";
        const std::string answers[] = {
            save("FILETYPE=BMP DEST=" + quotedPath(keep), {}, kLargeComposition),
            save("FILETYPE=BMP DEST=" + quotedPath(folder + "\\new"), {}, kLargeComposition),
            save("EXTENSION=xyz", "select=1136:BMP;file=" + keep, kLargeComposition),
        };
        for (const std::string& answer : answers) {
            EXPECT_TRUE(answer.starts_with(status)) << answer;
        }
        EXPECT_EQ(test::readFile(keep), before);
        EXPECT_EQ(namesIn(folder), names) << "no new or temporary file";
    }
};

TEST_F(ExportEndToEnd, TheDialogGivesTheTypeAndTheFile) {
    struct Row {
        std::string parameter;
        std::string response;
        const char* saved;
        std::string magic;  // the file's first bytes
    };
    const Row rows[] = {
        // An EXTENSION in no list; the type chosen in the dialog, its extension appended.
        {"EXTENSION=xyz DEST=" + quotedPath(at("start")), "select=1136:PNG;file=" + at("a"), "a.png", "\x89PNG"},
        // No DEST: the known type is preselected.
        {"FILETYPE=JPEG", "file=" + at("b"), "b.jpg", "\xFF\xD8\xFF"},
        {"EXTENSION=tif", "file=" + at("c"), "c.tif", ""},
        // Nothing known: the first type, PICT.
        {"", "file=" + at("d"), "d.pct", ""},
        // A chosen name with a "." keeps it; the chosen type wins over the one given.
        {"FILETYPE=GIFf", "select=1136:bmp;file=" + at("e.img"), "e.img", "BM"},
        {"FILETYPE=JPEG", "select=1136:Photoshop;file=" + at("f"), "f.psd", "8BPS"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.parameter + " / " + row.response);
        EXPECT_EQ(save(row.parameter, row.response), test::escapedText(at(row.saved)));
        ASSERT_TRUE(exists(row.saved));
        EXPECT_EQ(readFile(row.saved).substr(0, row.magic.size()), row.magic);
        EXPECT_EQ(test::naturalSizeOf(at(row.saved)), (test::ImageSize{30, 20}));
        EXPECT_EQ(snapshot("").size(), 1u) << "the one file, no temporary one";
        DeleteFileA(at(row.saved).c_str());
    }
}

TEST_F(ExportEndToEnd, TheDialogStartsAtTheDestination) {
    test::TempFolder logs;
    const std::string log = logs / "dialogs.txt";
    ASSERT_TRUE(host.responder().logTo(log));
    makeFolder("sub");
    // A bare name is taken in the folder the dialog starts in: DEST's.
    EXPECT_EQ(save("EXTENSION=xyz DEST=" + quotedPath(at("sub\\first.xyz")), "file=second"),
              test::escapedText(at("sub\\second.pct")));
    EXPECT_EQ(save("FILETYPE=TIFF", "key=ESCAPE").substr(0, 10), "ERROR=-128");
    const std::string shown = test::readFile(log);
    // Titled with our template's caption, as the ANSI code page writes it.
    char title[64] = {};
    ASSERT_GT(WideCharToMultiByte(CP_ACP, 0, L"画像の書き出し", -1, title, sizeof title, nullptr, nullptr), 0);
    EXPECT_EQ(shown.find("dialog \"" + std::string(title) + "\" "), 0u) << shown;
    // DEST's name in the name field, our part of the dialog, the eleven types, the one given
    // selected.
    EXPECT_NE(shown.find("\"first.xyz\""), std::string::npos) << shown;
    EXPECT_NE(shown.find("  1000 Static"), std::string::npos) << "our template's line";
    EXPECT_NE(shown.find("    entry \"QuickTime Image (*.qtif;*.qif;*.qti)\""), std::string::npos) << shown;
    EXPECT_NE(shown.find("    entry \"MacPaint (*.mac;*.pntg;*.pnt)\""), std::string::npos);
    EXPECT_NE(shown.find("1136 ComboBox \"TIFF (*.tif;*.tiff)\""), std::string::npos) << shown;
}

TEST_F(ExportEndToEnd, CancelWritesNothingAndKeepsTheOldFile) {
    writeFile("keep.png", "old bytes");
    const auto before = snapshot("");
    for (const char* response : {"press=2", "key=ESCAPE", "close"}) {
        SCOPED_TRACE(response);
        EXPECT_EQ(save("EXTENSION=xyz DEST=" + quotedPath(at("keep.png")), response).substr(0, 11), "ERROR=-128 ");
        EXPECT_EQ(snapshot(""), before);
    }
    // A type we cannot write fails at once: no dialog to answer, nothing written.
    EXPECT_EQ(save("EXTENSION=mov").substr(0, 11), "ERROR=-2003");
    EXPECT_EQ(host.responder().dialogsSeen(), 3);
    EXPECT_EQ(snapshot(""), before);
}

TEST_F(ExportEndToEnd, AVanishedFolderIsAFailure) {
    makeFolder("gone");
    writeFile("gone\\keep.bmp", "old bytes");
    const std::string folder = at("gone");
    test::removeTree(folder);
    // The folder DEST names went away before the export.
    const std::string given = save("FILETYPE=BMP DEST=" + quotedPath(folder + "\\keep.bmp"));
    EXPECT_TRUE(given.starts_with("ERROR=-120 ")) << given;
    EXPECT_TRUE(snapshot("").empty());
}

TEST_F(ExportEndToEnd, AReadOnlyDiskIsNotWritten) {
    const std::string folder = preparedFolder("KORVANE_READONLY_DISK");
    if (folder.empty()) {
        GTEST_SKIP() << "KORVANE_READONLY_DISK is not set: run through ctest, which prepares the disk";
    }
    const std::string probe = folder + "\\probe";
    if (CreateDirectoryA(probe.c_str(), nullptr)) {
        RemoveDirectoryA(probe.c_str());
        GTEST_SKIP() << folder << " is writable: export_disks.sh could not mount it read-only (it needs root)";
    }
    ASSERT_TRUE(test::exists(folder + "\\keep.bmp"));
    failsLeavingTheDisk(folder, kWritePermission);
}

TEST_F(ExportEndToEnd, AFullDiskIsNotWritten) {
    const std::string folder = preparedFolder("KORVANE_FULL_DISK");
    if (folder.empty()) {
        GTEST_SKIP() << "KORVANE_FULL_DISK is not set: run through ctest, which prepares the disk";
    }
    ULARGE_INTEGER free{};
    constexpr ULONGLONG kSmallDisk = 1 << 20;
    if (!GetDiskFreeSpaceExA((folder + "\\").c_str(), &free, nullptr, nullptr) || free.QuadPart > kSmallDisk) {
        GTEST_SKIP() << folder << " is not a small disk: export_disks.sh could not mount one (it needs root)";
    }
    ASSERT_TRUE(test::exists(folder + "\\keep.bmp"));
    failsLeavingTheDisk(folder, kDiskFull);
}

}  // namespace
}  // namespace korvane::image_testing
