// The progress display through the host emulator: the dialog and the embedded bar as a
// user sees them (windows, their texts and pixels), the abort button pressed as a user
// presses it, and many updates without leaks.

#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <string>
#include <thread>

#include "resources/resource_ids.h"
#include "tests/support/module_host.h"
#include "tests/support/wine_gap.h"

namespace korvane {
namespace {

constexpr uint32_t kStripeBlue = 0x0000FF;
constexpr uint32_t kStripeWhite = 0xFFFFFF;
constexpr uint32_t kStripeGrey = 0xC0C0C0;

BOOL CALLBACK collectProgressDialog(HWND window, LPARAM context) {
    if (GetDlgItem(window, kItemProgressBar) != nullptr) {
        reinterpret_cast<std::set<HWND>*>(context)->insert(window);
    }
    return TRUE;
}

std::string windowText(HWND window) {
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

class ProgressTest : public test::ModuleTest {
  protected:
    // The progress dialogs of this thread.
    std::set<HWND> dialogs() {
        std::set<HWND> found;
        EnumThreadWindows(GetCurrentThreadId(), collectProgressDialog, reinterpret_cast<LPARAM>(&found));
        return found;
    }
    HWND dialog() {
        const std::set<HWND> found = dialogs();
        return found.size() == 1 ? *found.begin() : nullptr;
    }
    HWND embeddedBar() { return FindWindowExA(host.documentWindow(), nullptr, PROGRESS_CLASSA, nullptr); }

    static LRESULT position(HWND bar) { return SendMessageA(bar, PBM_GETPOS, 0, 0); }
    static LRESULT rangeLow(HWND bar) { return SendMessageA(bar, PBM_GETRANGE, TRUE, 0); }
    static LRESULT rangeHigh(HWND bar) { return SendMessageA(bar, PBM_GETRANGE, FALSE, 0); }
};

TEST_F(ProgressTest, AQuitRequestIsLeftForTheHost) {
    EXPECT_EQ(call("KUtl-OpenProgress", "DIALOG TITLE=Export MAX=10"), "<none>");
    PostQuitMessage(7);
    EXPECT_EQ(call("KUtl-UpdateProgress", "VALUE=5"), "<none>");
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 7u);
    EXPECT_EQ(call("KUtl-CloseProgress", ""), "<none>");
}

TEST_F(ProgressTest, TheDialogShowsItsTitleMessageAndValue) {
    EXPECT_EQ(call("KUtl-OpenProgress", "DIALOG TITLE=Export MESSAGE=Working MAX=50"), "<none>");
    EXPECT_EQ(call("KUtl-UpdateProgress", "VALUE=25"), "<none>");
    const HWND shown = dialog();
    ASSERT_NE(shown, nullptr);
    EXPECT_TRUE(IsWindowVisible(shown));
    EXPECT_EQ(windowText(shown), "Export");
    EXPECT_EQ(windowText(GetDlgItem(shown, kItemMessage)), "Working");
    const HWND bar = GetDlgItem(shown, kItemProgressBar);
    EXPECT_EQ(rangeLow(bar), 0);
    EXPECT_EQ(rangeHigh(bar), 50);
    EXPECT_EQ(position(bar), 25);

    // Half full, as the user sees it: the left quarter is filled, the right quarter is not.
    host.pumpMessages();
    const host::Pixels pixels = host::captureClientArea(bar);
    ASSERT_GT(pixels.width, 8);
    const int middle = pixels.height / 2;
    EXPECT_NE(pixels.at(pixels.width / 4, middle), pixels.at(pixels.width * 3 / 4, middle));

    struct Row {
        const char* parameter;
        LRESULT low, high, value;
    };
    const Row rows[] = {
        {"VALUE=500", 0, 50, 50},                          // clamped to the maximum
        {"MIN=10 MAX=5", 10, 11, 11},                      // max becomes min + 1
        {"VALUE=abc", 10, 11, 11},                         // malformed: stored as 0, nothing shown
        {"MIN=0 MAX=70000 VALUE=35000", 0, 70000, 35000},  // the whole 32-bit range
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.parameter);
        EXPECT_EQ(call("KUtl-UpdateProgress", row.parameter), "<none>");
        EXPECT_EQ(rangeLow(bar), row.low);
        EXPECT_EQ(rangeHigh(bar), row.high);
        EXPECT_EQ(position(bar), row.value);
    }
    EXPECT_EQ(call("KUtl-CloseProgress", ""), "<none>");
    EXPECT_FALSE(IsWindow(shown));
}

TEST_F(ProgressTest, AbortingAnswersCancelledUntilClosed) {
    std::string error;
    ASSERT_TRUE(host.responder().queue("press=2", error)) << error;
    host.responder().start(GetCurrentThreadId());
    EXPECT_EQ(call("KUtl-OpenProgress", "DIALOG MAX=100"), "<none>");
    const HWND shown = dialog();
    ASSERT_NE(shown, nullptr);

    // The script keeps updating; the click is served by the next update after it.
    std::string answer;
    for (int i = 0; i < 200 && answer.rfind("ERROR=-128", 0) != 0; ++i) {
        answer = call("KUtl-UpdateProgress", "VALUE=" + std::to_string(i % 100));
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    EXPECT_EQ(answer.rfind("ERROR=-128", 0), 0u) << answer;
    EXPECT_FALSE(IsWindowVisible(shown));
    EXPECT_EQ(call("KUtl-UpdateProgress", "VALUE=5").rfind("ERROR=-128", 0), 0u);
    EXPECT_EQ(call("KUtl-CloseProgress", ""), "<none>");
    EXPECT_EQ(call("KUtl-UpdateProgress", "VALUE=5"), "<none>");  // closed: no longer cancelled
    host.responder().stop();
}

TEST_F(ProgressTest, WithoutADialogABarIsEmbeddedInTheDocumentWindow) {
    EXPECT_EQ(call("KUtl-OpenProgress", ""), "<none>");
    EXPECT_EQ(embeddedBar(), nullptr);  // nothing to show yet
    EXPECT_EQ(call("KUtl-UpdateProgress", "VALUE=30"), "<none>");
    const HWND bar = embeddedBar();
    ASSERT_NE(bar, nullptr);
    RECT client{}, rect{};
    GetClientRect(host.documentWindow(), &client);
    GetWindowRect(bar, &rect);
    MapWindowPoints(HWND_DESKTOP, host.documentWindow(), reinterpret_cast<POINT*>(&rect), 2);
    const int height = GetSystemMetrics(SM_CYVSCROLL);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.right - rect.left, 158);
    EXPECT_EQ(rect.top, client.bottom - height + 1);
    EXPECT_EQ(rect.bottom - rect.top, height);
    EXPECT_EQ(position(bar), 30);
    EXPECT_EQ(call("KUtl-CloseProgress", ""), "<none>");
    EXPECT_EQ(embeddedBar(), nullptr);
    EXPECT_EQ(call("KUtl-CloseProgress", ""), "<none>");  // nothing open: nothing happens
}

TEST_F(ProgressTest, BarberModeDrawsMovingStripes) {
    EXPECT_EQ(call("KUtl-OpenProgress", "BARBER"), "<none>");
    const HWND bar = embeddedBar();
    ASSERT_NE(bar, nullptr);
    // The stripes are drawn over the control, which may paint itself again between calls:
    // some capture must hold nothing but the stripes' three colours.
    const std::set<uint32_t> stripes{kStripeBlue, kStripeWhite, kStripeGrey};
    host::Pixels first;
    bool moved = false;
    bool allStripes = false;
    for (int frame = 0; frame < 40 && !(moved && allStripes); ++frame) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EXPECT_EQ(call("KUtl-UpdateProgress", "BARBER"), "<none>");
        const host::Pixels pixels = host::captureClientArea(bar);
        ASSERT_GT(pixels.width, 0);
        // The bar's last row lies below the document window's client area, out of sight.
        const std::set<uint32_t> colours(pixels.data.begin(), pixels.data.end() - pixels.width);
        if (colours == stripes) {
            allStripes = true;
            moved = moved || (!first.data.empty() && pixels.data != first.data);
            first = pixels;
        }
    }
    EXPECT_TRUE(allStripes) << "no frame showed the stripes alone";
    EXPECT_TRUE(moved) << "the stripes did not move on";

    // Back to value mode: an empty bar with the range 0 to 10.
    EXPECT_EQ(call("KUtl-UpdateProgress", "BARBER=FALSE"), "<none>");
    EXPECT_EQ(rangeHigh(bar), 10);
    EXPECT_EQ(position(bar), 0);
}

TEST_F(ProgressTest, OpeningAgainReplacesTheDisplayAndShutdownClosesIt) {
    EXPECT_EQ(call("KUtl-OpenProgress", "DIALOG TITLE=First"), "<none>");
    EXPECT_EQ(call("KUtl-OpenProgress", "DIALOG TITLE=Second"), "<none>");
    ASSERT_EQ(dialogs().size(), 1u) << "the first dialog was left behind";
    const HWND shown = dialog();
    EXPECT_EQ(windowText(shown), "Second");
    host.shutdown();
    EXPECT_FALSE(IsWindow(shown));
}

BOOL CALLBACK countWindow(HWND, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

// The windows of this thread: top-level ones and those inside the document window.
int threadWindows(HWND document) {
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), countWindow, reinterpret_cast<LPARAM>(&count));
    EnumChildWindows(document, countWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

// Every call is also checked for host memory given back (ModuleTest::call).
TEST_F(ProgressTest, ThousandsOfUpdatesLeakNothing) {
    EXPECT_EQ(call("KUtl-OpenProgress", "DIALOG MAX=2000"), "<none>");
    EXPECT_EQ(call("KUtl-UpdateProgress", "VALUE=1"), "<none>");
    const int windowsBefore = threadWindows(host.documentWindow());
    const DWORD gdiBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    const DWORD userBefore = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    for (int i = 0; i < 2000; ++i) {
        const std::string parameter = i % 100 == 50 ? "BARBER" : i % 100 == 60 ? "BARBER=FALSE MAX=2000" : "";
        ASSERT_EQ(call("KUtl-UpdateProgress", parameter + " VALUE=" + std::to_string(i)), "<none>") << i;
    }
    EXPECT_EQ(call("KUtl-CloseProgress", ""), "<none>");
    EXPECT_EQ(call("KUtl-OpenProgress", "DIALOG MAX=2000"), "<none>");
    EXPECT_EQ(call("KUtl-UpdateProgress", "VALUE=1"), "<none>");
    EXPECT_EQ(threadWindows(host.documentWindow()), windowsBefore);
    // A known Wine gap: the GUI object counts answer 0 there, so only Windows checks them.
    if (!test::runningOnWine()) {
        EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), gdiBefore);
        EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), userBefore);
    }
}

}  // namespace
}  // namespace korvane
