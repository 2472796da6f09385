// KUtl-Answer, KUtl-Ask and KUtl-PickColor through the host emulator, their dialogs
// answered and read by the host's dialog responder as a user would see and answer them.

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>

#include "platform/win32/raii.h"
#include "resources/resource_ids.h"
#include "tests/support/code_page.h"
#include "tests/support/module_host.h"

namespace korvane {
namespace {

// One control of a dialog as the responder's log describes it.
struct LoggedItem {
    std::string className;
    std::string text;
    bool visible = false;
    bool enabled = false;
    bool password = false;
    RECT rect{};
};

struct LoggedDialog {
    std::string caption;
    SIZE size{};
    std::map<int, LoggedItem> items;
};

// The newest dialog of a responder log.
LoggedDialog readLog(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    LoggedDialog dialog;
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("dialog \"", 0) == 0) {
            dialog = {};
            const size_t open = line.find('"');
            const size_t close = line.rfind('"');
            dialog.caption = line.substr(open + 1, close - open - 1);
            std::sscanf(line.c_str() + close + 1, " %ldx%ld", &dialog.size.cx, &dialog.size.cy);
            continue;
        }
        if (line.rfind("  ", 0) != 0) {
            continue;
        }
        LoggedItem item;
        std::istringstream fields(line);
        int id = 0;
        fields >> id >> item.className;
        const size_t first = line.find('"');
        const size_t last = line.rfind('"');
        item.text = line.substr(first + 1, last - first - 1);
        std::istringstream rest(line.substr(last + 1));
        std::string visible, enabled, rect;
        rest >> visible >> enabled >> rect;
        item.visible = visible == "visible";
        item.enabled = enabled == "enabled";
        item.password = line.find(" password") != std::string::npos;
        std::sscanf(rect.c_str(), "%ld,%ld,%ld,%ld", &item.rect.left, &item.rect.top, &item.rect.right,
                    &item.rect.bottom);
        dialog.items[id] = item;
    }
    return dialog;
}

class MessageBoxesTest : public test::ModuleTest {
  protected:
    void SetUp() override {
        ModuleTest::SetUp();
        char folder[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, folder);
        logPath_ = std::string(folder) + "korvane_message_boxes.log";
        ASSERT_TRUE(host.responder().logTo(logPath_));
        host.responder().start(GetCurrentThreadId());
    }
    void TearDown() override {
        host.responder().stop();
        DeleteFileA(logPath_.c_str());
    }

    // Calls FUNCTION with PARAMETER, its dialog answered with RESPONSE.
    std::string answered(const char* function, const std::string& parameter, const std::string& response) {
        std::string error;
        EXPECT_TRUE(host.responder().queue(response, error)) << error;
        return call(function, parameter);
    }
    LoggedDialog shown() { return readLog(logPath_); }

    std::string logPath_;
};

TEST_F(MessageBoxesTest, AnswerTellsWhichButtonEndedIt) {
    struct Row {
        const char* parameter;
        const char* response;
        const char* result;
    };
    const Row rows[] = {
        {"MESSAGE=Hello", "press=1", "OK"},
        {"MESSAGE=Hello", "key=ENTER", "OK"},
        {"MESSAGE=Hello", "key=ESCAPE", "CANCEL"},            // no cancel button, still Escape
        {"MESSAGE=Hello", "press=2;wait=200;press=1", "OK"},  // a hidden button cannot be pressed
        {"MESSAGE=Hello CANCEL OTHER", "press=3", "OTHER"},
        {"MESSAGE=Hello CANCEL=Stop", "press=2", "CANCEL"},
        {"MESSAGE= OK=Fine", "press=1", "OK"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.parameter) + " / " + row.response);
        EXPECT_EQ(answered("KUtl-Answer", row.parameter, row.response), row.result);
    }
}

TEST_F(MessageBoxesTest, AnswerShowsOnlyTheButtonsAndLinesAskedFor) {
    EXPECT_EQ(answered("KUtl-Answer", "MESSAGE=Hello", "press=1"), "OK");
    LoggedDialog plain = shown();
    EXPECT_EQ(plain.items[kItemMessage].text, "Hello");
    EXPECT_TRUE(plain.items[IDOK].visible);
    EXPECT_FALSE(plain.items[IDCANCEL].visible);
    EXPECT_FALSE(plain.items[kItemOther].visible);
    EXPECT_FALSE(plain.items[kItemDescription].visible);
    EXPECT_FALSE(plain.items[kItemIcon].visible);
    // Without an icon the message line starts where the icon would be.
    EXPECT_EQ(plain.items[kItemMessage].rect.left, plain.items[kItemIcon].rect.left);

    EXPECT_EQ(answered("KUtl-Answer", "MESSAGE=Hello DESCRIPTION=More CANCEL=Stop OTHER=cancel ICON=note", "press=1"),
              "OK");
    LoggedDialog full = shown();
    EXPECT_EQ(full.items[kItemDescription].text, "More");
    EXPECT_TRUE(full.items[kItemDescription].visible);
    EXPECT_EQ(full.items[IDCANCEL].text, "Stop");
    EXPECT_EQ(full.items[kItemOther].text, "cancel");
    EXPECT_TRUE(full.items[kItemOther].visible);
    EXPECT_TRUE(full.items[kItemIcon].visible);
    EXPECT_GT(full.items[kItemMessage].rect.left, full.items[kItemIcon].rect.right);

    EXPECT_EQ(answered("KUtl-Answer", "MESSAGE=Hello ICON=INFO CANCEL=CANCEL", "press=1"), "OK");
    LoggedDialog unknownIcon = shown();
    EXPECT_FALSE(unknownIcon.items[kItemIcon].visible);
    EXPECT_NE(unknownIcon.items[IDCANCEL].text, "CANCEL");  // the keyword's own name keeps the template's label
}

TEST_F(MessageBoxesTest, AMissingMessageShowsNoDialog) {
    for (const char* function : {"KUtl-Answer", "KUtl-Ask"}) {
        SCOPED_TRACE(function);
        EXPECT_EQ(call(function, "DESCRIPTION=x").rfind("ERROR=-50", 0), 0u);
    }
    EXPECT_EQ(host.responder().dialogsSeen(), 0);
}

TEST_F(MessageBoxesTest, AskAnswersTheTextTypedOrCancelled) {
    struct Row {
        const char* parameter;
        const char* response;
        const char* result;
    };
    const Row rows[] = {
        {"MESSAGE=Name?", "set=1004:Ada;press=1", "Ada"},
        {"MESSAGE=Name? DEFAULT=abc", "press=1", "abc"},
        {"MESSAGE=Name? DEFAULT=abc", "set=1004:;key=ENTER", ""},
        {"MESSAGE=Name? PASSWORD", "set=1004:secret;key=ENTER", "secret"},
        {"MESSAGE=Name?", "press=2", "ERROR=-128"},
        {"MESSAGE=Name?", "key=ESCAPE", "ERROR=-128"},
        {"MESSAGE=Name?", "close", "ERROR=-128"},
        // OK only with something typed: Enter on the empty entry does nothing.
        {"MESSAGE=Name? NEEDSOMETHING", "key=ENTER;wait=300;set=1004:x;key=ENTER", "x"},
        // Emptied again, OK is disabled again.
        {"MESSAGE=Name? NEEDSOMETHING", "set=1004:x;set=1004:;press=1;wait=300;press=2", "ERROR=-128"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.parameter) + " / " + row.response);
        const std::string result = answered("KUtl-Ask", row.parameter, row.response);
        EXPECT_EQ(result.substr(0, std::string(row.result).size()), row.result);
    }
}

TEST_F(MessageBoxesTest, AskSetsUpItsEntryAndButtons) {
    EXPECT_EQ(answered("KUtl-Ask", "MESSAGE=Name? NEEDSOMETHING CANCEL", "press=2").rfind("ERROR=-128", 0), 0u);
    LoggedDialog needs = shown();
    EXPECT_EQ(needs.items[kItemMessage].text, "Name?");
    EXPECT_FALSE(needs.items[IDOK].enabled);
    EXPECT_EQ(needs.items[IDCANCEL].text, "CANCEL");  // any CANCEL value is Ask's label
    EXPECT_FALSE(needs.items[kItemEntry].password);

    EXPECT_EQ(answered("KUtl-Ask", "MESSAGE= PASSWORD DEFAULT=abc OK=Go", "press=1"), "abc");
    LoggedDialog password = shown();
    EXPECT_EQ(password.items[kItemMessage].text, "Static111");
    EXPECT_TRUE(password.items[kItemEntry].password);
    EXPECT_EQ(password.items[kItemEntry].text, "abc");
    EXPECT_EQ(password.items[IDOK].text, "Go");
    EXPECT_TRUE(password.items[IDOK].enabled);
}

TEST_F(MessageBoxesTest, PickColorAnswersTheChosenBytes) {
    struct Row {
        const char* parameter;
        const char* response;
        const char* result;
    };
    const Row rows[] = {
        {"COLOR=#102030", "color=200,100,50", "200,100,50"},
        {"COLOR=#102030", "press=1", "16,32,48"},  // the initial colour is selected
        {"", "key=ENTER", "255,255,255"},          // white without a colour
        {"COLOR=oops", "press=1", "255,255,255"},  // an unusable colour starts from white too
        {"COLOR=0,0,0", "press=1", "0,0,0"},
        {"COLOR=#102030", "press=2", "ERROR=-128"},
        {"MESSAGE=Pick", "key=ESCAPE", "ERROR=-128"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.parameter) + " / " + row.response);
        const std::string result = answered("KUtl-PickColor", row.parameter, row.response);
        EXPECT_EQ(result.substr(0, std::string(row.result).size()), row.result);
    }
}

TEST_F(MessageBoxesTest, PickColorTitlesTheDialogWithTheMessage) {
    EXPECT_EQ(answered("KUtl-PickColor", "MESSAGE='Background colour'", "press=1"), "255,255,255");
    EXPECT_EQ(shown().caption, "Background colour");
    EXPECT_EQ(answered("KUtl-PickColor", "MESSAGE=", "press=1"), "255,255,255");
    EXPECT_NE(shown().caption, "");  // the system's own title
}

// The message box's layout measured independently: the test lays the template out itself
// (a hidden copy of the module's dialog), measures the texts in its fonts and checks the
// dialog the module showed against that, pixel for pixel.
class AnswerLayoutTest : public MessageBoxesTest {
  protected:
    struct Expected {
        RECT message{}, description{}, okButton{};
        LONG windowHeight = 0;
    };

    static INT_PTR CALLBACK quietProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

    RECT clientRect(HWND dialog, int item) {
        RECT rect{};
        GetWindowRect(GetDlgItem(dialog, item), &rect);
        MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

    SIZE measure(HWND dialog, HFONT font, const std::string& text) {
        const auto dc = win32::get_window_dc(dialog);
        const auto selected = win32::select_object(dc.get(), font);
        SIZE size{};
        GetTextExtentPoint32A(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
        return size;
    }

    // What the module's box must look like with MESSAGE and DESCRIPTION and no icon.
    Expected expect(const std::string& message, const std::string& description) {
        win32::unique_hwnd dialog(
            CreateDialogParamA(host.module(), MAKEINTRESOURCEA(kDialogAnswer), nullptr, quietProc, 0));
        EXPECT_TRUE(dialog);
        const auto font = reinterpret_cast<HFONT>(SendMessageA(dialog.get(), WM_GETFONT, 0, 0));
        LOGFONTA smaller{};
        GetObjectA(font, sizeof smaller, &smaller);
        smaller.lfHeight += 2;
        win32::unique_hfont descriptionFont(CreateFontIndirectA(&smaller));

        Expected expected;
        const RECT icon = clientRect(dialog.get(), kItemIcon);
        expected.message = clientRect(dialog.get(), kItemMessage);
        expected.description = clientRect(dialog.get(), kItemDescription);
        expected.okButton = clientRect(dialog.get(), IDOK);
        expected.message.left = expected.description.left = icon.left;

        int extra = 0;
        const SIZE messageSize = measure(dialog.get(), font, message);
        const LONG messageWidth = expected.message.right - expected.message.left;
        if (messageWidth < messageSize.cx) {
            const LONG q = messageSize.cx / messageWidth;
            expected.message.bottom = expected.message.top + (q + 1) * messageSize.cy;
            extra = q * messageSize.cy;
        }
        OffsetRect(&expected.description, 0, extra);
        const SIZE descriptionSize = measure(dialog.get(), descriptionFont.get(), description);
        const LONG descriptionWidth = expected.description.right - expected.description.left;
        if (descriptionWidth < descriptionSize.cx) {
            const LONG q = descriptionSize.cx / descriptionWidth;
            expected.description.bottom = expected.description.top + (q + 1) * descriptionSize.cy;
            extra += q * descriptionSize.cy;
        }
        OffsetRect(&expected.okButton, 0, extra);
        RECT window{};
        GetWindowRect(dialog.get(), &window);
        expected.windowHeight = window.bottom - window.top + extra / 2 * 2;  // half above, half below
        return expected;
    }

    void checkLayout(const std::string& message, const std::string& description) {
        const Expected expected = expect(message, description);
        EXPECT_EQ(answered("KUtl-Answer", "MESSAGE=" + message + " DESCRIPTION=" + description + " CANCEL", "press=1"),
                  "OK");
        LoggedDialog box = shown();
        EXPECT_TRUE(EqualRect(&box.items[kItemMessage].rect, &expected.message))
            << box.items[kItemMessage].rect.left << "," << box.items[kItemMessage].rect.top << ","
            << box.items[kItemMessage].rect.right << "," << box.items[kItemMessage].rect.bottom;
        EXPECT_TRUE(EqualRect(&box.items[kItemDescription].rect, &expected.description));
        EXPECT_TRUE(EqualRect(&box.items[IDOK].rect, &expected.okButton));
        EXPECT_EQ(box.size.cy, expected.windowHeight);
    }
};

TEST_F(AnswerLayoutTest, ShortTextsKeepTheTemplatesPlaces) {
    checkLayout("Hello", "World");
}

TEST_F(AnswerLayoutTest, AMessageThreeLinesWideGrowsTheBox) {
    const std::string wide(180, 'W');
    checkLayout(wide, "World");
    checkLayout("Hello", std::string(150, 'M'));
    checkLayout(wide, std::string(150, 'M'));
}

TEST_F(AnswerLayoutTest, JapaneseTextsAreMeasuredAsShiftJis) {
    KORVANE_REQUIRE_CODE_PAGE_932();
    std::string message;
    for (int i = 0; i < 40; ++i) {
        message += "\x95\x5C\x83\x5C";  // 表ソ: both end in the backslash code
    }
    checkLayout(message, "\x90\xE0\x96\xBE");  // 説明
    LoggedDialog box = shown();
    EXPECT_EQ(box.caption, "\x83\x81\x83\x62\x83\x5A\x81\x5B\x83\x57");  // メッセージ
    EXPECT_EQ(box.items[IDCANCEL].text, "\xB7\xAC\xDD\xBE\xD9");         // ｷｬﾝｾﾙ
}

}  // namespace
}  // namespace korvane
