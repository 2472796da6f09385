// The RAII family, tested once: ownership moves, release gives it up, reset closes,
// closing leaves the last error alone, and scope_exit runs unless released.

#include "platform/win32/raii.h"

#include <gtest/gtest.h>

#include <vector>

namespace korvane {
namespace {

std::vector<int> gClosed;

void closeRecorded(int value) {
    gClosed.push_back(value);
    SetLastError(ERROR_INVALID_HANDLE);  // as a failing close would
}

using unique_recorded = win32::unique_any<win32::simple_traits<int, closeRecorded, -1>>;

class UniqueAnyTest : public ::testing::Test {
  protected:
    void SetUp() override { gClosed.clear(); }
};

TEST_F(UniqueAnyTest, ClosesOnceAtTheEndOfItsScope) {
    {
        unique_recorded owner(7);
        EXPECT_TRUE(owner.valid());
        EXPECT_EQ(owner.get(), 7);
    }
    EXPECT_EQ(gClosed, std::vector<int>{7});
    { unique_recorded empty; }
    EXPECT_EQ(gClosed, std::vector<int>{7});
}

TEST_F(UniqueAnyTest, MovingHandsOwnershipOver) {
    unique_recorded first(1);
    unique_recorded second(std::move(first));
    EXPECT_FALSE(first.valid());
    EXPECT_EQ(second.get(), 1);
    unique_recorded third(3);
    third = std::move(second);  // 3 is closed, 1 moves on
    EXPECT_EQ(gClosed, std::vector<int>{3});
    EXPECT_EQ(third.get(), 1);
}

TEST_F(UniqueAnyTest, ReleaseGivesUpAndResetCloses) {
    unique_recorded owner(5);
    EXPECT_EQ(owner.release(), 5);
    EXPECT_FALSE(owner);
    owner.reset(6);
    owner.reset(8);
    EXPECT_EQ(gClosed, std::vector<int>{6});
    *owner.put() = 9;  // put closes what was held first
    EXPECT_EQ(gClosed, (std::vector<int>{6, 8}));
    EXPECT_EQ(owner.get(), 9);
}

TEST_F(UniqueAnyTest, ClosingKeepsTheLastError) {
    unique_recorded owner(4);
    SetLastError(ERROR_SHARING_VIOLATION);
    owner.reset();
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    {
        const auto guard = win32::scope_exit([] { SetLastError(ERROR_INVALID_HANDLE); });
        SetLastError(ERROR_ACCESS_DENIED);
    }
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

TEST(ScopeExitTest, RunsUnlessReleased) {
    int runs = 0;
    {
        const auto guard = win32::scope_exit([&runs] { ++runs; });
    }
    EXPECT_EQ(runs, 1);
    {
        auto guard = win32::scope_exit([&runs] { ++runs; });
        guard.release();
    }
    EXPECT_EQ(runs, 1);
}

TEST(WindowResourcesTest, WindowDcAndSelectionGoBack) {
    const auto screen = win32::get_window_dc(nullptr);
    ASSERT_TRUE(screen);
    win32::unique_hdc memory(CreateCompatibleDC(screen.get()));
    win32::unique_hbitmap bitmap(CreateCompatibleBitmap(screen.get(), 4, 4));
    ASSERT_TRUE(memory && bitmap);
    const HGDIOBJ original = GetCurrentObject(memory.get(), OBJ_BITMAP);
    {
        const auto selected = win32::select_object(memory.get(), bitmap.get());
        ASSERT_TRUE(selected);
        EXPECT_EQ(GetCurrentObject(memory.get(), OBJ_BITMAP), bitmap.get());
    }
    EXPECT_EQ(GetCurrentObject(memory.get(), OBJ_BITMAP), original);
    EXPECT_FALSE(win32::select_object(nullptr, bitmap.get()));
}

TEST(WindowResourcesTest, LockedMemoryAndMutexHold) {
    win32::unique_hglobal memory(GlobalAlloc(GMEM_MOVEABLE, 16));
    {
        const auto locked = win32::lock_global(memory.get());
        ASSERT_TRUE(locked);
        EXPECT_GE(locked->size(), 16u);
    }
    EXPECT_FALSE(win32::lock_global(nullptr));

    win32::unique_handle mutex(CreateMutexA(nullptr, FALSE, nullptr));
    { const auto hold = win32::wait_for_mutex(mutex.get()); }
    EXPECT_TRUE(ReleaseMutex(mutex.get()) == FALSE);  // the hold gave it back already
    EXPECT_FALSE(win32::wait_for_mutex(nullptr));
}

}  // namespace
}  // namespace korvane
