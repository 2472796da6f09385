// KUtl-OpenFileDialog, KUtl-SaveFileDialog and KUtl-OpenFolderDialog through the host
// emulator, on the system's real dialogs: the file types each file dialog offers (read
// from the responder's log), the chosen path as the result and on the clipboard, and
// cancel. The tests register descriptions of their own extensions for the labels.

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "platform/paths/path_text.h"
#include "tests/files/files_fixture.h"
#include "tests/support/module_host.h"

namespace korvane {
namespace {

using files_testing::clipboardText;
using test::TempFolder;
using test::writeFile;

// The file dialogs' list of file types.
constexpr int kFileTypeList = 0x470;
const std::string kCustom = "\x83\x4a\x83\x58\x83\x5e\x83\x80(*";  // カスタム(*

// Registers `extension` (".kvx") as a type described as `description`, and removes it again.
class RegisteredType {
  public:
    RegisteredType(const std::string& extension, const std::string& description)
        : extension_(extension), typeClass_("KorvaneTest" + extension) {
        setDefault(extension_, typeClass_);
        setDefault(typeClass_, description);
    }
    ~RegisteredType() {
        RegDeleteKeyA(HKEY_CLASSES_ROOT, typeClass_.c_str());
        RegDeleteKeyA(HKEY_CLASSES_ROOT, extension_.c_str());
    }
    RegisteredType(const RegisteredType&) = delete;
    RegisteredType& operator=(const RegisteredType&) = delete;

  private:
    static void setDefault(const std::string& key, const std::string& value) {
        HKEY handle = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1));
        RegCloseKey(handle);
    }

    std::string extension_;
    std::string typeClass_;
};

// Whether the registry describes `extension` already (the prefix's own types).
bool described(const std::string& extension) {
    char typeClass[261] = {};
    LONG size = sizeof typeClass;
    if (RegQueryValueA(HKEY_CLASSES_ROOT, extension.c_str(), typeClass, &size) != ERROR_SUCCESS || typeClass[0] == 0) {
        return false;
    }
    char description[261] = {};
    size = sizeof description;
    return RegQueryValueA(HKEY_CLASSES_ROOT, typeClass, description, &size) == ERROR_SUCCESS && description[0] != 0;
}

std::string answerFor(const std::string& path) {
    char text[kPathResultCapacity];
    EXPECT_TRUE(formatPathResult(path.c_str(), text, sizeof text)) << path;
    return text;
}

void putTextOnClipboard(const std::string& text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    std::memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    SetClipboardData(CF_TEXT, block);
    CloseClipboard();
}

class FileDialogsTest : public test::ModuleTest {
  protected:
    void SetUp() override {
        ModuleTest::SetUp();
        ASSERT_FALSE(temp_.path().empty());
        logPath_ = temp_ / "dialogs.log";
        ASSERT_TRUE(host.responder().logTo(logPath_));
        host.responder().start(GetCurrentThreadId());
    }
    void TearDown() override { host.responder().stop(); }

    std::string answered(const char* function, const std::string& parameter, const std::string& response) {
        std::string error;
        EXPECT_TRUE(host.responder().queue(response, error)) << error;
        return call(function, parameter);
    }

    // The entries of the file type list of the newest dialog in the log.
    std::vector<std::string> offeredTypes() {
        std::ifstream in(logPath_, std::ios::binary);
        std::vector<std::string> entries;
        std::string line;
        bool inList = false;
        while (std::getline(in, line)) {
            if (line.rfind("dialog \"", 0) == 0) {
                entries.clear();
                inList = false;
            } else if (line.rfind("    entry \"", 0) == 0) {
                if (inList) {
                    entries.push_back(line.substr(11, line.size() - 12));
                }
            } else if (line.rfind("  ", 0) == 0) {
                inList = std::atoi(line.c_str()) == kFileTypeList;
            }
        }
        return entries;
    }

    TempFolder temp_;
    std::string logPath_;
};

TEST_F(FileDialogsTest, OpenOffersTheTypesAskedForAndAnswersTheChosenFile) {
    const RegisteredType kvx(".kvx", "Korvane test picture");
    const RegisteredType mac(".mac", "Korvane paint picture");
    const std::string chosen = temp_ / "chosen file.kvx";
    writeFile(chosen, "x");
    const std::string dv = described(".dv") ? "<registered>" : "dv";
    struct Row {
        std::string parameter;
        std::vector<std::string> types;
    };
    const Row rows[] = {
        {"EXTENSION=kvx,.kvy", {"Korvane test picture", kCustom + ".kvy)", "All Files"}},
        {"SHOWALL=yes EXTENSION=kvx", {"All Files"}},
        {"FILETYPE=PNTG,XXXX,PICS,dvc!", {"Korvane paint picture", dv, "All Files"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.parameter);
        putTextOnClipboard("before");
        EXPECT_EQ(answered("KUtl-OpenFileDialog", "MESSAGE='Pick one' " + row.parameter, "file=" + chosen),
                  answerFor(chosen));
        if (dv != "<registered>" || row.parameter.find("dvc!") == std::string::npos) {
            EXPECT_EQ(offeredTypes(), row.types);
        }
        EXPECT_EQ(clipboardText(), answerFor(chosen));
    }
}

TEST_F(FileDialogsTest, OpenWithoutTypesOffersTheDescribedImageTypes) {
    const RegisteredType qdgx(".qdgx", "Korvane GX picture");
    putTextOnClipboard("before");
    const std::string chosen = temp_ / "a.qdgx";
    writeFile(chosen, "x");
    EXPECT_EQ(answered("KUtl-OpenFileDialog", "", "file=" + chosen), answerFor(chosen));
    const std::vector<std::string> types = offeredTypes();
    ASSERT_GE(types.size(), 2u);
    EXPECT_EQ(types.back(), "All Files");
    EXPECT_NE(std::find(types.begin(), types.end(), "Korvane GX picture"), types.end());
    for (const std::string& type : types) {
        EXPECT_EQ(type.find(kCustom), std::string::npos) << type;  // only described types
    }
}

TEST_F(FileDialogsTest, CancelAnswersUserCanceledAndLeavesTheClipboard) {
    for (const char* function : {"KUtl-OpenFileDialog", "KUtl-SaveFileDialog", "KUtl-OpenFolderDialog"}) {
        SCOPED_TRACE(function);
        putTextOnClipboard("before");
        const std::string answer = answered(function, "MESSAGE=Choose", "key=ESCAPE");
        EXPECT_EQ(answer.rfind("ERROR=-128 ", 0), 0u) << answer;
        EXPECT_EQ(clipboardText(), "before");
    }
}

TEST_F(FileDialogsTest, SaveAnswersANewFileName) {
    const RegisteredType kvx(".kvx", "Korvane test picture");
    const std::string chosen = temp_ / "new picture.kvx";
    EXPECT_EQ(answered("KUtl-SaveFileDialog", "DEFAULT=first.kvx EXTENSION=kvx", "file=" + chosen), answerFor(chosen));
    EXPECT_EQ(offeredTypes(), (std::vector<std::string>{"Korvane test picture", "All Files"}));
    EXPECT_EQ(clipboardText(), answerFor(chosen));
}

TEST_F(FileDialogsTest, FolderAnswersTheChosenFolderWithASeparator) {
    const std::string folder = temp_ / "chosen folder";
    test::makeFolder(folder);
    putTextOnClipboard("before");
    EXPECT_EQ(answered("KUtl-OpenFolderDialog", "MESSAGE='Where to?'", "folder=" + folder), answerFor(folder + "\\"));
    EXPECT_EQ(clipboardText(), answerFor(folder + "\\"));
}

}  // namespace
}  // namespace korvane
