// KUtl-LaunchApp and KUtl-QuitApp with a small program of our own (launch_target): started
// with a document, by a document's association, and closed again by its full path.

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "files/file_functions.h"
#include "tests/files/files_fixture.h"

namespace korvane {
namespace {

using namespace files_testing;

constexpr auto kPatience = std::chrono::seconds(60);

std::string besideProgram(const char* name) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    folder.erase(folder.find_last_of('\\') + 1);
    return folder + name;
}

// The reports the launched copies wrote in `folder`: one per process.
std::vector<std::string> reports(const std::string& folder) {
    std::vector<std::string> found;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((folder + "\\report-*.txt").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            found.push_back(folder + "\\" + entry.cFileName);
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    return found;
}

bool hasLine(const std::string& report, const std::string& line) {
    std::ifstream in(report, std::ios::binary);
    std::string text;
    while (std::getline(in, text)) {
        if (text == line) {
            return true;
        }
    }
    return false;
}

// Waits until `count` reports in `folder` hold `line`.
bool waitFor(const std::string& folder, size_t count, const std::string& line) {
    const auto end = std::chrono::steady_clock::now() + kPatience;
    while (std::chrono::steady_clock::now() < end) {
        size_t holding = 0;
        for (const std::string& report : reports(folder)) {
            holding += hasLine(report, line) ? 1 : 0;
        }
        if (holding >= count) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

// Sets HKEY_CLASSES_ROOT\key's default value.
void setClassesValue(const std::string& key, const std::string& value) {
    HKEY handle = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(handle);
}

class ApplicationsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(temp_.path().empty());
        for (const std::string& folder : {first(), second()}) {
            makeFolder(folder);
            ASSERT_TRUE(CopyFileA(besideProgram("launch_target.exe").c_str(), (folder + "\\target.exe").c_str(), TRUE));
        }
    }
    // Nothing launched may outlive the test: whatever is still running is ended.
    void TearDown() override {
        for (const std::string& folder : {first(), second()}) {
            runHandler(quitAppHandler, "APP=" + quotedPath(folder + "\\target.exe"));
            waitFor(folder, reports(folder).size(), "closed");
            for (const std::string& report : reports(folder)) {
                const size_t dash = report.rfind('-');
                const DWORD id = std::strtoul(report.c_str() + dash + 1, nullptr, 10);
                if (HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id)) {
                    if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT) {
                        TerminateProcess(process, 1);
                    }
                    CloseHandle(process);
                }
            }
        }
        RegDeleteKeyA(HKEY_CLASSES_ROOT, "KorvaneTest.kvl\\shell\\open\\command");
        RegDeleteKeyA(HKEY_CLASSES_ROOT, "KorvaneTest.kvl\\shell\\open");
        RegDeleteKeyA(HKEY_CLASSES_ROOT, "KorvaneTest.kvl\\shell");
        RegDeleteKeyA(HKEY_CLASSES_ROOT, "KorvaneTest.kvl");
        RegDeleteKeyA(HKEY_CLASSES_ROOT, ".kvl");
    }

    std::string first() const { return temp_ / "first copy"; }
    std::string second() const { return temp_ / "second"; }
    std::string app(const std::string& folder) const { return "APP=" + quotedPath(folder + "\\target.exe"); }

    TempFolder temp_;
};

TEST_F(ApplicationsTest, LaunchesTheApplicationWithTheDocumentAsOneArgument) {
    const std::string doc = temp_ / "my document.txt";
    writeFile(doc, "x");
    EXPECT_EQ(runHandler(launchAppHandler, app(first()) + " DOC=" + quotedPath(doc)).status, kNoErr);
    ASSERT_TRUE(waitFor(first(), 1, "ready"));
    const std::string report = reports(first()).front();
    EXPECT_TRUE(hasLine(report, "args 1"));
    EXPECT_TRUE(hasLine(report, "arg " + doc));

    EXPECT_EQ(runHandler(launchAppHandler, app(second())).status, kNoErr);
    ASSERT_TRUE(waitFor(second(), 1, "ready"));
    EXPECT_TRUE(hasLine(reports(second()).front(), "args 0"));
}

TEST_F(ApplicationsTest, OpensADocumentWithItsAssociatedApplication) {
    setClassesValue(".kvl", "KorvaneTest.kvl");
    setClassesValue("KorvaneTest.kvl\\shell\\open\\command", "\"" + first() + "\\target.exe\" \"%1\"");
    const std::string doc = temp_ / "associated.kvl";
    writeFile(doc, "x");
    // Alone, and with an application that does not exist.
    EXPECT_EQ(runHandler(launchAppHandler, "DOC=" + quotedPath(doc)).status, kNoErr);
    EXPECT_EQ(runHandler(launchAppHandler, "APP=" + quotedPath(temp_ / "none.exe") + " DOC=" + quotedPath(doc)).status,
              kNoErr);
    ASSERT_TRUE(waitFor(first(), 2, "ready"));
    for (const std::string& report : reports(first())) {
        EXPECT_TRUE(hasLine(report, "arg " + doc)) << report;
    }
}

TEST_F(ApplicationsTest, RefusesWhatCannotBeLaunched) {
    struct Row {
        std::string parameter;
        Status status;
    };
    const Row rows[] = {
        {"", kParamErr},
        {"DOC=" + quotedPath(temp_ / "missing.txt"), kFileNotFound},
        {app(first()) + " DOC=" + quotedPath(temp_ / "missing.txt"), kFileNotFound},
        {"DOC=" + quotedPath(first()), kFileNotFound},  // a folder
        {"APP=" + quotedPath(first()), kFileNotFound},
        {"APP=" + quotedPath(temp_ / "none.exe"), kFileNotFound},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.parameter);
        EXPECT_EQ(runHandler(launchAppHandler, row.parameter).status, row.status);
    }
    EXPECT_EQ(runHandler(quitAppHandler, "").status, kParamErr);
    EXPECT_EQ(runHandler(quitAppHandler, "APP=" + quotedPath(temp_ / "none.exe")).status, kFileNotFound);
    EXPECT_TRUE(reports(first()).empty());
}

TEST_F(ApplicationsTest, QuitClosesEveryInstanceOfThatPathAndNoOther) {
    EXPECT_EQ(runHandler(quitAppHandler, app(first())).status, kNoErr);  // nothing running yet
    ASSERT_EQ(runHandler(launchAppHandler, app(first())).status, kNoErr);
    ASSERT_EQ(runHandler(launchAppHandler, app(first())).status, kNoErr);
    ASSERT_EQ(runHandler(launchAppHandler, app(second())).status, kNoErr);
    ASSERT_TRUE(waitFor(first(), 2, "ready"));
    ASSERT_TRUE(waitFor(second(), 1, "ready"));

    EXPECT_EQ(runHandler(quitAppHandler, app(first())).status, kNoErr);
    EXPECT_TRUE(waitFor(first(), 2, "closed"));
    // The same program in another folder is another application: it keeps running.
    std::this_thread::sleep_for(std::chrono::seconds(1));
    EXPECT_FALSE(hasLine(reports(second()).front(), "closed"));
    EXPECT_EQ(runHandler(quitAppHandler, app(second())).status, kNoErr);
    EXPECT_TRUE(waitFor(second(), 1, "closed"));
}

}  // namespace
}  // namespace korvane
