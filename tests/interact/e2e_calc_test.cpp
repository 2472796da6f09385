// The calculation functions answer through the module's function table.

#include <gtest/gtest.h>

#include "tests/support/module_host.h"

namespace korvane {
namespace {

class CalcEndToEndTest : public test::ModuleTest {};

TEST_F(CalcEndToEndTest, FunctionsAreWired) {
    EXPECT_EQ(call("KUtl-CalcRect", "0,0,100,100 OFFSET=10,10 INSET=20,20"), "30,30,90,90");
    EXPECT_EQ(call("KUtl-CalcRect", "RECT=10,20,110,70 BOTTOMRIGHT"), "110,70");
    EXPECT_EQ(call("KUtl-CalcPoint", "POINT=40000,0"), "-25536,0");
    EXPECT_EQ(call("KUtl-CalcColor", "#ff8000 GREEN"), "128");
    EXPECT_EQ(call("KUtl-CalcColor", "COLOR=#00FF00 BLUE=255"), "0,255,255");
}

TEST_F(CalcEndToEndTest, SwatchIsNotBuiltYet) {
    EXPECT_EQ(call("KUtl-CalcColor", "#808080 SAMPLE").rfind("ERROR=-4 ", 0), 0u);
}

}  // namespace
}  // namespace korvane
