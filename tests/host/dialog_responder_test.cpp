// The dialog responder against the system's own dialogs, shown by this test's thread as a
// module would show them, and its action texts.

#include <windows.h>

#include <commdlg.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "host/dialog_responder.h"
#include "platform/win32/raii.h"

namespace korvane::host {
namespace {

TEST(DialogActions, ReadsEachActionAndRefusesTheRest) {
    using Kind = DialogAction::Kind;
    struct Row {
        const char* text;
        bool valid;
        Kind firstKind;
        int id;
        int number;
        const char* firstText;
    };
    const Row rows[] = {
        {"press=1", true, Kind::kPress, 1, 0, ""},
        {"set=100:a;b=c", false, Kind::kSet, 0, 0, ""},  // ';' always separates actions
        {"set=100:a=b:c", true, Kind::kSet, 100, 0, "a=b:c"},
        {"set=100:", true, Kind::kSet, 100, 0, ""},
        {"select=1136:PNG", true, Kind::kSelect, 1136, 0, "PNG"},
        {"select=1136", false, Kind::kNone, 0, 0, ""},
        {"key=ENTER", true, Kind::kKey, 0, VK_RETURN, ""},
        {"key=ESCAPE;close", true, Kind::kKey, 0, VK_ESCAPE, ""},
        {"file=C:\\a b\\c.txt", true, Kind::kFile, 0, 0, "C:\\a b\\c.txt"},
        {"folder=C:\\windows", true, Kind::kFolder, 0, 0, "C:\\windows"},
        {"color=0,128,255", true, Kind::kColor, 0, 0, ""},
        {"wait=250;none", true, Kind::kWait, 0, 250, ""},
        {"", false, Kind::kNone, 0, 0, ""},
        {"press=", false, Kind::kNone, 0, 0, ""},
        {"press=x", false, Kind::kNone, 0, 0, ""},
        {"press=1;", false, Kind::kNone, 0, 0, ""},
        {"key=TAB", false, Kind::kNone, 0, 0, ""},
        {"close=1", false, Kind::kNone, 0, 0, ""},
        {"color=1,2,256", false, Kind::kNone, 0, 0, ""},
        {"color=1,2,3,4", false, Kind::kNone, 0, 0, ""},
        {"wait=600001", false, Kind::kNone, 0, 0, ""},
        {"file=", false, Kind::kNone, 0, 0, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        std::string error;
        const auto actions = parseDialogActions(row.text, error);
        ASSERT_EQ(actions.has_value(), row.valid) << error;
        if (!row.valid) {
            EXPECT_FALSE(error.empty());
            continue;
        }
        EXPECT_EQ(actions->front().kind, row.firstKind);
        EXPECT_EQ(actions->front().id, row.id);
        EXPECT_EQ(actions->front().number, row.number);
        EXPECT_EQ(actions->front().text, row.firstText);
    }
    std::string error;
    const auto color = parseDialogActions("color=0,128,255", error);
    ASSERT_TRUE(color);
    EXPECT_EQ(color->front().rgb[0], 0);
    EXPECT_EQ(color->front().rgb[1], 128);
    EXPECT_EQ(color->front().rgb[2], 255);
}

class SystemDialogs : public ::testing::Test {
  protected:
    void SetUp() override { responder_.start(GetCurrentThreadId()); }
    void respond(const std::string& response) {
        std::string error;
        ASSERT_TRUE(responder_.queue(response, error)) << error;
    }
    std::string tempFile(const char* name) {
        char folder[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, folder);
        const std::string path = std::string(folder) + name;
        std::ofstream(path) << "x";
        return path;
    }

    DialogResponder responder_;
};

TEST_F(SystemDialogs, OpenDialogTakesTheTypedPathOrIsCancelled) {
    const std::string path = tempFile("korvane responder.txt");
    for (const bool cancel : {false, true}) {
        SCOPED_TRACE(cancel ? "cancelled" : "typed");
        respond(cancel ? std::string("press=2") : "file=" + path);
        char chosen[MAX_PATH] = {};
        OPENFILENAMEA dialog{};
        dialog.lStructSize = sizeof dialog;
        dialog.lpstrFile = chosen;
        dialog.nMaxFile = MAX_PATH;
        dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST;
        EXPECT_EQ(GetOpenFileNameA(&dialog) != FALSE, !cancel);
        EXPECT_EQ(CommDlgExtendedError(), 0u);
        if (!cancel) {
            EXPECT_STRCASEEQ(chosen, path.c_str());
        }
    }
    DeleteFileA(path.c_str());
}

TEST_F(SystemDialogs, ColorDialogTakesTheChosenColour) {
    for (const DWORD flags : {DWORD{CC_RGBINIT}, DWORD{CC_RGBINIT | CC_FULLOPEN}}) {
        SCOPED_TRACE(flags);
        respond("color=10,20,30");
        COLORREF custom[16] = {};
        CHOOSECOLORA dialog{};
        dialog.lStructSize = sizeof dialog;
        dialog.lpCustColors = custom;
        dialog.rgbResult = RGB(255, 255, 255);
        dialog.Flags = flags;
        ASSERT_TRUE(ChooseColorA(&dialog));
        EXPECT_EQ(dialog.rgbResult, RGB(10, 20, 30));
    }
}

TEST_F(SystemDialogs, FolderBrowserTakesTheSelectedFolder) {
    const auto apartment = win32::init_com_apartment();
    respond("folder=C:\\windows\\system32");
    BROWSEINFOA browse{};
    browse.ulFlags = BIF_RETURNONLYFSDIRS;
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderA(&browse);
    ASSERT_NE(chosen, nullptr);
    char path[MAX_PATH] = {};
    EXPECT_TRUE(SHGetPathFromIDListA(chosen, path));
    CoTaskMemFree(chosen);
    EXPECT_STRCASEEQ(path, "C:\\windows\\system32");
}

}  // namespace
}  // namespace korvane::host
