// Start-up refuses a media layer older than 3.0 and shows the notice that says so.
// The test links the entry point's static library, so it can present an older media
// layer, and the host emulator calls that entry point with the module's resources.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "core/status.h"
#include "platform/call_record.h"
#include "platform/media/media.h"
#include "platform/win32/host_window.h"
#include "tests/support/module_host.h"

namespace korvane {
namespace {

constexpr char kNoticeCaption[] = "Korvane's FileMaker Plug-in";
constexpr UINT_PTR kNoticeTimer = 0x2380;

struct NoticeSeen {
    bool shown = false;
    HWND owner = nullptr;
    std::string okLabel;
};
NoticeSeen gNotice;

BOOL CALLBACK findNotice(HWND window, LPARAM found) {
    char className[16] = {};
    char caption[64] = {};
    GetClassNameA(window, className, sizeof className);
    GetWindowTextA(window, caption, sizeof caption);
    if (std::string(className) == "#32770" && std::string(caption) == kNoticeCaption) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

// Runs inside the notice's modal loop: reads the notice and presses its OK button.
void CALLBACK pressNoticeOk(HWND, UINT, UINT_PTR, DWORD) {
    HWND notice = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), findNotice, reinterpret_cast<LPARAM>(&notice));
    if (notice == nullptr) {
        return;
    }
    KillTimer(nullptr, kNoticeTimer);
    gNotice.shown = true;
    gNotice.owner = GetWindow(notice, GW_OWNER);
    HWND okButton = GetDlgItem(notice, IDOK);
    char text[16] = {};
    GetWindowTextA(okButton, text, sizeof text);
    gNotice.okLabel = text;
    SendMessageA(notice, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(okButton));
}

class StartupTest : public ::testing::Test {
  protected:
    void SetUp() override {
        gNotice = {};
        ASSERT_TRUE(host.attach(FMExternCallProc, test::moduleBesideProgram())) << host.error();
    }
    void TearDown() override { setMediaVersionWordForTesting(kMediaVersionCurrent); }

    host::Host host;
};

TEST_F(StartupTest, MediaLayerOlderThan3ShowsTheNoticeAndFails) {
    setMediaVersionWordForTesting(kMediaVersionRequired - 1);
    const UINT_PTR timer = SetTimer(nullptr, kNoticeTimer, 50, pressNoticeOk);
    ASSERT_NE(timer, 0u);
    EXPECT_EQ(host.startup(), kStartupFailed);
    KillTimer(nullptr, timer);
    EXPECT_TRUE(gNotice.shown);
    EXPECT_EQ(gNotice.okLabel, "OK");
    EXPECT_EQ(gNotice.owner, host.frameWindow());
    EXPECT_EQ(host.call(17, "").result, "ERROR=9998");
    EXPECT_EQ(mediaBringUpCount(), 0);
}

TEST_F(StartupTest, MediaLayer3IsEnough) {
    setMediaVersionWordForTesting(kMediaVersionRequired);
    EXPECT_EQ(host.startup(), host::kDefaultInterfaceVersion);
    EXPECT_FALSE(gNotice.shown);
    // FindFile reaches its handler (no search open, no criteria) instead of the missing-state code.
    EXPECT_EQ(host.call(17, "").result.rfind("ERROR=-50 ", 0), 0u);
}

TEST_F(StartupTest, EveryCallKindBracketsTheMediaLayer) {
    for (uint8_t kind : {uint8_t{0}, uint8_t{1}, uint8_t{2}, uint8_t{3}, uint8_t{5}, uint8_t{9}, uint8_t{4}}) {
        SCOPED_TRACE(static_cast<int>(kind));
        host.rawCall(kind);
        EXPECT_EQ(mediaBringUpCount(), 0);
    }
}

TEST_F(StartupTest, HostDocumentWindowIsTheFrontDocument) {
    host.pumpMessages();
    EXPECT_EQ(hostDocumentWindow(), host.documentWindow());
    // Without an active window there is no document to find.
    SetActiveWindow(nullptr);
    HWND desktopChild =
        CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    SetActiveWindow(desktopChild);
    EXPECT_EQ(hostDocumentWindow(), nullptr);  // no "MDIClient" under this window
    DestroyWindow(desktopChild);
}

}  // namespace
}  // namespace korvane
