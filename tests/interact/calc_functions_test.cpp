// The calculation functions run as the dispatcher runs them: one parameter text, one
// answer (a result text, or a status and no result).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "interact/calc_functions.h"
#include "platform/media/pict.h"
#include "tests/support/handler_fixture.h"

namespace korvane {
namespace {

using test::CommandRun;
using test::HandlerRun;
using test::runCommands;
using test::runHandler;

struct Row {
    std::string text;
    std::string result;  // expected result when status is 0
    Status status = kNoErr;
};

// The swatches CalcColor hands over, decoded from their pictures.
std::vector<media::Bitmap> placedSwatches;

Status recordSwatch(Call&, const uint8_t* picture, size_t size) {
    media::Bitmap swatch;
    EXPECT_EQ(media::readPict(picture, size, media::PictReadOptions{}, swatch), kNoErr);
    placedSwatches.push_back(std::move(swatch));
    return kNoErr;
}

Status calcColor(Call& call) {
    return calcColorHandler(call, recordSwatch);
}

void expectRows(Handler handler, const std::vector<Row>& rows) {
    for (size_t i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        SCOPED_TRACE("row " + std::to_string(i) + ": " + row.text);
        const HandlerRun run = runHandler(handler, row.text);
        EXPECT_EQ(run.status, row.status);
        if (row.status == kNoErr) {
            EXPECT_TRUE(run.stored);
            EXPECT_EQ(run.result, row.result);
        } else {
            EXPECT_FALSE(run.stored) << "result: " << run.result;
        }
    }
}

Row fail(std::string text, Status status = kParamErr) {
    return Row{std::move(text), "", status};
}

TEST(CalcRect, QueriesAndAssignmentsInFixedOrder) {
    expectRows(calcRectHandler, {
                                    {"0,0,100,50 WIDTH", "100"},
                                    {"0,0,100,50 HEIGHT", "50"},
                                    {"RECT=10,20,110,70 LEFT", "10"},
                                    {"RECT=10,20,110,70 TOP", "20"},
                                    {"RECT=10,20,110,70 RIGHT", "110"},
                                    {"RECT=10,20,110,70 BOTTOM", "70"},
                                    {"RECT=10,20,110,70 BOTTOMRIGHT", "110,70"},
                                    {"RECT=10,20,110,70 TOPLEFT", "10,20"},
                                    {"RECT=10,20,110,70 left", "10"},
                                    {"RECT=10,20,110,70 LEFT=left", "10"},
                                    {"0,0,100,100 RIGHT=50 WIDTH", "50"},
                                    {"0,0,100,100 WIDTH LEFT=30", "70"},
                                    {"0,0,100,100 HEIGHT TOP=30 BOTTOM", "100"},
                                    {"0,0,100,100 TOPLEFT=5,6", "5,6,100,100"},
                                    {"0,0,100,100 BOTTOMRIGHT=7,8", "0,0,7,8"},
                                    {"0,0,100,100 BOTTOMRIGHT=7", "0,0,100,100"},
                                    {"0,0,100,100 WIDTH=30 HEIGHT=40", "0,0,30,40"},
                                    {"10,0,100,100 LEFT=abc", "0,0,100,100"},
                                    {"0,0,100,100 LEFT=120", "0,0,0,0"},
                                    {"0,0,100,100 WIDTH=-5", "0,0,0,0"},
                                    {"RECT=10,20,110,70 WIDTH=abc", "0,0,0,0"},
                                });
}

TEST(CalcRect, InsideAndOperations) {
    expectRows(calcRectHandler, {
                                    {"0,0,100,100 INSET=10", "10,10,90,90"},
                                    {"0,0,100,100 INSET=60", "0,0,0,0"},
                                    {"0,0,100,100 INSET=-5,0", "-5,0,105,100"},
                                    {"0,0,100,100 INSET", "0,0,100,100"},
                                    {"0,0,100,100 INSET=10,abc", "0,0,100,100"},
                                    {"0,0,100,100 OFFSET=10,10 INSET=20,20", "30,30,90,90"},
                                    {"0,0,100,100 INSET=20,20 OFFSET=10,10", "30,30,90,90"},
                                    {"0,0,100,100 OFFSET=5", "0,0,100,100"},
                                    {"0,0,100,100 UNION=50,50,200,150", "0,0,200,150"},
                                    {"0,0,100,100 UNION=1,2,3", "0,0,100,100"},
                                    {"0,0,100,100 UNION=50,50,50,50", "0,0,100,100"},
                                    {"0,0,100,100 INTERSECT=200,200,300,300", "0,0,0,0"},
                                    {"0,0,100,100 INTERSECT=50,-10,150,60", "50,0,100,60"},
                                    {"0,0,100,100 INTERSECT=50,50,150,150 UNION=0,0,10,10", "50,50,100,100"},
                                    // An inset that empties the rectangle leaves only the union's own rectangle.
                                    {"0,0,100,100 INSET=60 UNION=70,70,80,80", "70,70,80,80"},
                                    {"0,0,100,100 INSET=60 INTERSECT=0,0,100,100", "0,0,0,0"},
                                    {"10,10,20,20 INSIDE=0,0,20,20", "True"},
                                    {"10,10,21,20 INSIDE=0,0,20,20", "False"},
                                    {"0,0,100,100 LEFT=120 INSIDE=0,0,500,500", "False"},
                                    {"0,0,100,100 INSIDE=5,5,5,5 OFFSET=1,1", "1,1,101,101"},
                                    {"0,0,100,100 INSIDE=0,0,100,100 OFFSET=1,1", "True"},
                                    {"0,0,100,100 WIDTH INSIDE=0,0,100,100", "100"},
                                });
}

TEST(CalcRect, InputRectangle) {
    expectRows(calcRectHandler, {
                                    {"1,2,3,4,5", "1,2,3,4"},
                                    {"10,,30,40", "10,0,30,40"},
                                    {",0,100,100", "0,0,100,100"},
                                    {"0,0,100,100,", "0,0,100,100"},
                                    {"'0, 0, 100, 100'", "0,0,100,100"},
                                    {"RECT=10,20,110,70 0,0,5,5", "10,20,110,70"},
                                    {"0x10,0,0x20,8", "16,0,32,8"},
                                    fail("RECT=0,0,0,0"),
                                    fail("RECT=10,0,5,20"),
                                    fail("RECT=0,0,0,0 0,0,5,5"),  // position 1 is the RECT token itself
                                    fail("TOP 0,0,100,100"),
                                    fail("0,0,100"),
                                    fail(""),
                                    fail(",,,,"),
                                    fail("0 ,0,100,100"),
                                    fail("0, 0, 100, 100"),
                                    fail("a,b,c,d"),
                                    fail("WIDTH"),
                                });
}

TEST(CalcRect, SixteenBitStorage) {
    expectRows(calcRectHandler, {
                                    {"0,0,70000,100", "0,0,4464,100"},
                                    {"0,0,100,100 RIGHT=70000", "0,0,4464,100"},
                                    {"-32768,0,32767,10 WIDTH", "65535"},
                                    {"32760,0,32767,10 OFFSET=10,0", "-32766,0,-32759,10"},
                                    {"0,0,100,100 WIDTH=70000", "0,0,4464,100"},
                                    {"-32768,-32768,32767,32767", "-32768,-32768,32767,32767"},
                                    // Amounts beyond 32 bits wrap in parseInteger; the sums are stored in 16 bits.
                                    {"0,0,100,100 INSET=2147483647", "-1,-1,101,101"},
                                    {"0,0,100,100 LEFT=99999999999", "-6145,0,100,100"},
                                    fail("0,0,40000,10"),
                                });
}

TEST(CalcRect, MalformedTexts) {
    const std::string zeros248(248, '0');
    const std::string zeros250(250, '0');
    expectRows(calcRectHandler, {
                                    // Only the first 255 characters of a value are read.
                                    {"RECT=" + zeros248 + "1,2,3,4", "1,2,3,4"},
                                    fail("RECT=" + zeros250 + "1,2,3,4"),
                                    // Shift-JIS: a double-byte digit is not a number; a trail byte 0x5C is no escape.
                                    fail("\x82\x50,0,100,100"),
                                    fail("RECT=\x95\x5C"),
                                    {"0,0,100,100 OFFSET=\x95\x5C", "0,0,100,100"},
                                    {"0,0,100,100 LEFT=\x82\x50", "0,0,100,100"},
                                    {"0,0,100,100 INSIDE='\x95\x5C'", "0,0,100,100"},
                                    {"0,0,100,100 OFFSET=1,1 junk=,,, =x ==", "1,1,101,101"},
                                });
}

TEST(CalcRect, CommandsRunInTurn) {
    HandlerRun run = runHandler(calcRectHandler, "0,0,10,10 WIDTH || 0,0,20,30 HEIGHT");
    EXPECT_EQ(run.status, kNoErr);
    EXPECT_EQ(run.commands, 2);
    EXPECT_EQ(run.result, "30");

    // A single bar keeps the earlier arguments: position 1 is still the first rectangle.
    run = runHandler(calcRectHandler, "0,0,10,10 | 0,0,20,30 HEIGHT");
    EXPECT_EQ(run.commands, 2);
    EXPECT_EQ(run.result, "10");

    run = runHandler(calcRectHandler, "RECT=0,0,0,0 || 0,0,5,5");
    EXPECT_EQ(run.status, kParamErr);
    EXPECT_EQ(run.commands, 1);
    EXPECT_FALSE(run.stored);
}

TEST(CalcPoint, Rows) {
    expectRows(calcPointHandler, {
                                     {"10,20 H", "10"},
                                     {"10,20 V", "20"},
                                     {"10,20 V=5", "10,5"},
                                     {"10,20 H=5 V", "20"},
                                     {"10,20 V=7 H", "10"},
                                     {"10,20 H=abc", "0,20"},
                                     {"10,20 h=h", "10"},
                                     {"10,20 ADD=1,1 SUB=5,5", "6,16"},
                                     {"10,20 SUB=5,5 ADD=1,1", "6,16"},
                                     {"10,20 ADD=5", "10,20"},
                                     {"10,20 INSIDE=0,0,10,30", "False"},
                                     {"0,0 INSIDE=0,0,1,1", "True"},
                                     {"9,29 INSIDE=0,0,10,30", "True"},
                                     {"10,20 INSIDE=0,0,0,0 ADD=1,1", "11,21"},
                                     {"10,20 V=100 INSIDE=0,0,50,50", "False"},
                                     {"POINT=40000,0", "-25536,0"},
                                     {"POINT=1,2 3,4", "1,2"},
                                     {"1,2,3", "1,2"},
                                     {"32767,0 ADD=1,0", "-32768,0"},
                                     {"-32768,0 SUB=1,0", "32767,0"},
                                     {"0,0 H=70000", "4464,0"},
                                     fail("10"),
                                     fail(""),
                                     fail("H 10,20"),
                                     fail("POINT=\x82\x50,\x82\x51"),
                                     fail("POINT=" + std::string(255, '0') + ",1"),
                                 });
}

TEST(CalcColor, Rows) {
    expectRows(calcColor, {
                              {"#FF8000", "255,128,0"},
                              {"#ff8000 GREEN", "128"},
                              {"128", "128,128,128"},
                              {"10,abc", "10,10,10"},
                              {"300,-1,256", "44,255,0"},
                              {"10,20,30,40", "10,20,30"},
                              {"COLOR=#00FF00 BLUE=255", "0,255,255"},
                              {"COLOR=1,2,3 RED", "1"},
                              {"COLOR=1,2,3 BLUE GREEN", "2"},
                              {"255,0,128 INVERT", "0,255,127"},
                              {"128,128,128 LIGHTEN", "192,192,192"},
                              {"0,0,0 LIGHTEN", "127,127,127"},
                              {"1 LIGHTEN", "128,128,128"},
                              {"255,0,0 DARKEN", "127,0,0"},
                              {"255,255,255 LIGHTEN DARKEN", "127,127,127"},
                              // Lighten comes before darken, invert before both, whatever the text order.
                              {"0,0,0 DARKEN LIGHTEN", "63,63,63"},
                              {"255,255,255 LIGHTEN INVERT", "127,127,127"},
                              {"0,0,0 RED=300 GREEN=-4 BLUE=128", "255,0,128"},
                              {"0,0,0 RED=255 GREEN=256 BLUE=abc", "255,255,0"},
                              {"0,0,0 INVERT=FALSE", "255,255,255"},
                              {"#808080 RED SAMPLE", "128"},
                              fail("10,20"),
                              fail("#FFF"),
                              fail("#GG0000"),
                              fail("#80808"),
                              fail("#8080800"),
                              fail(""),
                              fail("RED"),
                              fail("\x82\xA0"),
                              fail("#808080 SAMPLE", kOutOfMemory),  // no document window
                          });
}

// A host that refuses every result, as when the host runs out of memory.
class RefusingHost final : public HostServices {
  public:
    Status storeResult(const char*, size_t) override {
        ++storeCount;
        return kOutOfMemory;
    }
    char* newPointer(int32_t) override { return nullptr; }
    void disposePointer(char*) override {}
    Status memoryError() override { return kOutOfMemory; }

    int storeCount = 0;
};

TEST(CalcColor, Swatches) {
    int window = 0;  // any document window will do: the swatch never draws into it
    Call withWindow;
    withWindow.documentWindow = &window;
    const media::Rgba grey{128, 128, 128, 255};
    const media::Rgba dark{64, 64, 64, 255};
    const media::Rgba light{192, 192, 192, 255};
    struct Row {
        const char* text;
        int32_t width;
        int32_t height;
        bool bevelled;
    };
    const Row rows[] = {
        {"#808080 SAMPLE", 16, 16, false},
        {"#808080 SAMPLE3D=40,20", 40, 20, true},
        {"#808080 SAMPLE3D SAMPLE=30,10", 30, 10, true},
        {"#808080 SAMPLE=5,3", 5, 3, false},
        {"#808080 SAMPLE=1,1 SAMPLE3D", 1, 1, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        placedSwatches.clear();
        const HandlerRun run = runHandler(calcColor, row.text, withWindow);
        ASSERT_EQ(run.status, kNoErr);
        EXPECT_FALSE(run.stored) << "a swatch gives no colour text";
        ASSERT_EQ(placedSwatches.size(), 1u);
        const media::Bitmap& swatch = placedSwatches[0];
        ASSERT_EQ(swatch.width(), row.width);
        ASSERT_EQ(swatch.height(), row.height);
        const int32_t w = row.width;
        const int32_t h = row.height;
        if (!row.bevelled) {
            EXPECT_EQ(swatch.pixel(w - 1, h - 1), grey);
            EXPECT_EQ(swatch.pixel(0, 0), grey);
            continue;
        }
        if (w == 1) {
            EXPECT_EQ(swatch.pixel(0, 0), dark) << "the right column is the whole swatch";
            continue;
        }
        EXPECT_EQ(swatch.pixel(0, h - 1), grey) << "bottom left keeps the colour";
        EXPECT_EQ(swatch.pixel(w - 1, 0), dark) << "top right is dark";
        EXPECT_EQ(swatch.pixel(w - 1, h - 1), dark);
        EXPECT_EQ(swatch.pixel(1, h - 1), dark);
        EXPECT_EQ(swatch.pixel(0, 0), light);
        EXPECT_EQ(swatch.pixel(w - 2, 0), light);
        EXPECT_EQ(swatch.pixel(0, h - 2), light);
        EXPECT_EQ(swatch.pixel(w / 2, h / 2), grey);
    }
    // No document window: no drawing port, no picture. A side of 0: refused.
    placedSwatches.clear();
    EXPECT_EQ(runHandler(calcColor, "#808080 SAMPLE").status, kOutOfMemory);
    EXPECT_EQ(runHandler(calcColor, "#808080 SAMPLE=0,10", withWindow).status, kParamErr);
    EXPECT_EQ(runHandler(calcColor, "#808080 SAMPLE=10,-3", withWindow).status, kParamErr);
    EXPECT_TRUE(placedSwatches.empty());
}

TEST(CalcFunctions, FailedStoreIsTheStatus) {
    for (Handler handler : {calcRectHandler, calcPointHandler, calcColor}) {
        RefusingHost host;
        Call call;
        call.host = &host;
        const CommandRun run = runCommands(handler, "1,2,3,4 INSIDE=0,0,9,9 | 5,6,7,8", call);
        EXPECT_EQ(run.status, kOutOfMemory);
        EXPECT_EQ(run.commands, 1);
        EXPECT_EQ(host.storeCount, 1);
    }
}

// Texts built from fragments that the readers must survive: every answer is a result or
// a status, never a crash (the sanitizers watch the reads).
TEST(CalcFunctions, MixedFragmentsNeverCrash) {
    const char* const fragments[] = {
        "0,0,100,100", ",",         ",,",    "-",        "#",      "#FFFFFF", "=",        "==",       "'",
        "\"",          "\\",        "|",     "||",       " ",      "\t",      "LEFT",     "WIDTH=",   "INSET=",
        "INSIDE=",     "UNION=1,2", "RED=",  "H=",       "ADD=,",  "\x82",    "\x95\x5C", "\x82\x50", "99999999999",
        "0x",          "-0x8000",   "40000", "TOPLEFT=", "COLOR=", "RECT=",   "POINT=",   "SAMPLE"};
    constexpr size_t kFragmentCount = sizeof(fragments) / sizeof(fragments[0]);
    uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7FFF;
    };
    for (int i = 0; i < 600; ++i) {
        std::string text;
        const int pieces = 1 + static_cast<int>(next() % 12);
        for (int p = 0; p < pieces; ++p) {
            text += fragments[next() % kFragmentCount];
        }
        SCOPED_TRACE(text);
        for (Handler handler : {calcRectHandler, calcPointHandler, calcColor}) {
            const HandlerRun run = runHandler(handler, text);
            EXPECT_TRUE(run.status == kNoErr || run.status == kParamErr || run.status == kOutOfMemory) << run.status;
        }
    }
}

}  // namespace
}  // namespace korvane
