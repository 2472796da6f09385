// CheckArea, GetMousePos and Effect the way FileMaker Pro calls them: through the host
// emulator, on the document window the test paints itself.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "core/call.h"
#include "host/host_window.h"
#include "platform/media/window_port.h"
#include "tests/support/module_host.h"
#include "tests/support/seeded_random.h"

namespace korvane {
namespace {

constexpr char kCheckArea[] = "KImg-CheckArea";
constexpr char kMouse[] = "KImg-GetMousePos";
constexpr char kEffect[] = "KImg-Effect";
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

class WindowFunctionsTest : public test::ModuleTest {
  protected:
    // Paints a rectangle of the document window (logical coordinates of its DC) in one colour,
    // and marks the window as painted so that the host's message pump leaves it.
    void paint(int left, int top, int right, int bottom, COLORREF colour) {
        HWND window = host.documentWindow();
        HDC dc = GetDC(window);
        HBRUSH brush = CreateSolidBrush(colour);
        const RECT r = {left, top, right, bottom};
        FillRect(dc, &r, brush);
        DeleteObject(brush);
        GdiFlush();
        ReleaseDC(window, dc);
        ValidateRect(window, nullptr);
    }

    // The sum CheckArea stands for: one GetPixel per pixel, invalid pixels adding -1.
    int32_t getPixelSum(int left, int top, int right, int bottom) {
        HWND window = host.documentWindow();
        HDC dc = GetDC(window);
        uint32_t sum = 0;
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x) {
                sum += static_cast<uint32_t>(GetPixel(dc, x, y));
            }
        }
        ReleaseDC(window, dc);
        return static_cast<int32_t>(sum);
    }
};

TEST_F(WindowFunctionsTest, CheckAreaSumsTheColourValues) {
    paint(0, 0, 200, 100, kWhite);
    paint(10, 10, 20, 20, kBlack);
    paint(30, 10, 31, 11, RGB(0x12, 0x34, 0x56));
    EXPECT_EQ(call(kCheckArea, "DESTRECT=0,0,2,1"), "33554430");
    EXPECT_EQ(call(kCheckArea, "RECT=10,10,20,20"), "0");
    EXPECT_EQ(call(kCheckArea, "30,10,32,11"), std::to_string(0x563412 + 16777215));
    EXPECT_EQ(call(kCheckArea, "DESTRECT=5,5,40,40"), std::to_string(getPixelSum(5, 5, 40, 40)));
}

TEST_F(WindowFunctionsTest, CheckAreaCountsUnreadablePixelsAsMinusOne) {
    const int width = host::kDefaultDocumentWidth;
    paint(width - 10, 0, width, 10, kWhite);
    // One readable white pixel, one beyond the right edge of the client area.
    const std::string area = std::to_string(width - 1) + ",0," + std::to_string(width + 1) + ",1";
    EXPECT_EQ(call(kCheckArea, "DESTRECT=" + area), std::to_string(16777215 - 1));
    EXPECT_EQ(call(kCheckArea, "DESTRECT=-3,-2,0,0"), "-6");
}

TEST_F(WindowFunctionsTest, CheckAreaAgreesWithGetPixelOnAnyPicture) {
    test::SeededRandom random(7);
    for (int i = 0; i < 40; ++i) {
        const int left = static_cast<int>(random.below(180));
        const int top = static_cast<int>(random.below(180));
        paint(left, top, left + 1 + static_cast<int>(random.below(40)), top + 1 + static_cast<int>(random.below(40)),
              RGB(random.below(256), random.below(256), random.below(256)));
    }
    EXPECT_EQ(call(kCheckArea, "DESTRECT=0,0,220,220"), std::to_string(getPixelSum(0, 0, 220, 220)));
    // A moved window origin: the rectangle is in the same logical coordinates as GetPixel's.
    ASSERT_TRUE(host.setWindowOrigin(15, 25));
    EXPECT_EQ(call(kCheckArea, "DESTRECT=20,30,200,210"), std::to_string(getPixelSum(20, 30, 200, 210)));
}

TEST_F(WindowFunctionsTest, CheckAreaStatusAreaAndMissingRectangles) {
    paint(0, 0, 100, 10, kWhite);
    paint(69, 0, 71, 1, kBlack);
    EXPECT_EQ(call(kCheckArea, "DESTRECT=0,0,2,1 STATUSAREA"), "0");  // summed at 69..70
    for (const char* parameter : {"", "RECT=0,0,0,0", "DESTRECT=5,5,1,1", "STATUSAREA"}) {
        SCOPED_TRACE(parameter);
        EXPECT_EQ(call(kCheckArea, parameter).rfind("ERROR=-50", 0), 0u);
    }
}

TEST_F(WindowFunctionsTest, GetMousePosIsRelativeToTheAnchor) {
    ASSERT_TRUE(host.placeMouse(150, 80));
    const std::string rect = "DESTRECT=100,50,300,150";
    EXPECT_EQ(call(kMouse, rect), "50,30");
    EXPECT_EQ(call(kMouse, rect + " ANCHOR=TOPLEFT"), "50,30");
    EXPECT_EQ(call(kMouse, rect + " ANCHOR=TOPRIGHT"), "-150,30");
    EXPECT_EQ(call(kMouse, rect + " ANCHOR=BOTTOMLEFT"), "50,-70");
    EXPECT_EQ(call(kMouse, rect + " ANCHOR=CENTER"), "-50,-20");
    EXPECT_EQ(call(kMouse, rect + " ANCHOR=BOTTOMRIGHT"), "-150,-70");
    EXPECT_EQ(call(kMouse, rect + " ANCHOR=NOWHERE"), "50,30");
    EXPECT_EQ(call(kMouse, rect + " STATUSAREA"), "-19,30");  // the rectangle moved 69 right
    EXPECT_EQ(call(kMouse, ""), "150,80");                    // against (0, top of the window)
    ASSERT_TRUE(host.setWindowOrigin(10, 20));
    EXPECT_EQ(call(kMouse, rect), "60,50");  // local = device + origin
}

TEST_F(WindowFunctionsTest, EffectLeavesTheWindowAsItWas) {
    paint(0, 0, 400, 300, kWhite);
    paint(50, 40, 250, 200, RGB(0x20, 0x60, 0xC0));
    const host::Pixels before = host.screenshot();
    ASSERT_GT(before.width, 0);
    EXPECT_EQ(call(kEffect, "KIND=ZOOM SRCRECT=10,10,20,20 DESTRECT=100,50,300,150 STEP=4 DELAY=1"), "<none>");
    EXPECT_EQ(call(kEffect, "KIND=ZOOM SRCRECT=0,0,1,1 DESTRECT=5,5,6,40 STEP=1 ACCELERATE"), "<none>");
    EXPECT_EQ(host.screenshot().data, before.data);
}

// The zoom draws each outline by inverting the pixels under a 50% checkerboard: once changes
// every other pixel, twice gives the window back.
TEST_F(WindowFunctionsTest, TheOutlinePenInvertsACheckerboard) {
    paint(0, 0, 50, 50, kWhite);
    CallResources resources;
    Call call;
    call.documentWindow = host.documentWindow();
    call.resources = &resources;
    MediaPort* port = hostDrawingPort(call);
    ASSERT_NE(port, nullptr);
    const media::PixelRect area{3, 5, 11, 9};
    invertPortCheckerboard(*port, &area, 1);
    const host::Pixels once = host.screenshot();
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 14; ++x) {
            const bool inside = x >= 3 && x < 11 && y >= 5 && y < 9;
            const uint32_t expected = inside && (x + y) % 2 == 0 ? 0x000000u : 0xFFFFFFu;
            EXPECT_EQ(once.at(x, y) & 0xFFFFFFu, expected) << x << "," << y;
        }
    }
    invertPortCheckerboard(*port, &area, 1);
    const host::Pixels twice = host.screenshot();
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 14; ++x) {
            EXPECT_EQ(twice.at(x, y) & 0xFFFFFFu, 0xFFFFFFu) << x << "," << y;
        }
    }
}

TEST_F(WindowFunctionsTest, EffectKindsAndMissingRectangles) {
    EXPECT_EQ(call(kEffect, "KIND=FADEIN"), "<none>");
    EXPECT_EQ(call(kEffect, "KIND=FADEOUT STEP=0 DESTRECT=0,0,10,10"), "<none>");
    for (const char* parameter : {"KIND=SPIN SRCRECT=0,0,5,5 DESTRECT=0,0,10,10", "SRCRECT=0,0,5,5 DESTRECT=0,0,10,10",
                                  "KIND=ZOOM DESTRECT=0,0,10,10", "KIND=ZOOM SRCRECT=0,0,5,5"}) {
        SCOPED_TRACE(parameter);
        EXPECT_EQ(call(kEffect, parameter).rfind("ERROR=-50", 0), 0u);
    }
}

}  // namespace
}  // namespace korvane
