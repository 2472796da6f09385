#pragma once
// Cases that need the Shift-JIS ANSI code page. They run in the code page 932 runs
// (wine-exec --cp932, which sets KORVANE_EXPECT_CP932) and are skipped in the default
// runs; in a 932 run that did not get code page 932 (a broken Japanese locale) they fail,
// so a broken locale can never turn those runs green by skipping.

#include <windows.h>

#include <cstdlib>

#include <gtest/gtest.h>

namespace korvane::test {

constexpr UINT kShiftJisCodePage = 932;

inline bool codePage932Expected() {
    const char* expected = std::getenv("KORVANE_EXPECT_CP932");
    return expected != nullptr && expected[0] == '1';
}

}  // namespace korvane::test

#define KORVANE_REQUIRE_CODE_PAGE_932()                                             \
    do {                                                                            \
        if (GetACP() != ::korvane::test::kShiftJisCodePage) {                       \
            if (::korvane::test::codePage932Expected()) {                           \
                FAIL() << "this run should have code page 932 but has " << GetACP() \
                       << ": is the Japanese locale broken?";                       \
            }                                                                       \
            GTEST_SKIP() << "needs the ANSI code page 932 (wine-exec --cp932)";     \
        }                                                                           \
    } while (0)
