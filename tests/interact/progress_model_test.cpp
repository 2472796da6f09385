// The progress display's numbers: clamping, supplied and malformed values, barber switches
// and the stripes' frame timing.

#include "interact/progress_model.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace korvane {
namespace {

ProgressArgument number(int32_t value) {
    return {true, true, value};
}
ProgressArgument malformed(int32_t storedAs) {
    return {true, false, storedAs};
}

// An update with the arguments named, the others absent.
struct Update {
    ProgressUpdate update;
    Update& min(ProgressArgument a) { return update.min = a, *this; }
    Update& max(ProgressArgument a) { return update.max = a, *this; }
    Update& value(ProgressArgument a) { return update.value = a, *this; }
    Update& barber(bool on) { return update.barberPresent = true, update.barber = on, *this; }
    operator const ProgressUpdate&() const { return update; }
};

TEST(ProgressModel, ClampsAndReportsWhatToShow) {
    struct Row {
        const char* name;
        ProgressUpdate update;
        int32_t min, max, value;
        bool show, setRange;
    };
    const Row rows[] = {
        {"nothing", Update(), 0, 100, 0, false, false},
        {"value", Update().value(number(25)), 0, 100, 25, true, false},
        {"value above", Update().value(number(500)), 0, 100, 100, true, false},
        {"value below", Update().min(number(10)).value(number(3)), 10, 100, 10, true, true},
        {"min above max", Update().min(number(10)).max(number(5)), 10, 11, 10, true, true},
        {"min equals max", Update().min(number(7)).max(number(7)).value(number(9)), 7, 8, 8, true, true},
        {"malformed value is stored, not shown", Update().value(malformed(0)), 0, 100, 0, false, false},
        {"max beyond 16 bits", Update().max(number(70000)).value(number(35000)), 0, 70000, 35000, true, true},
        {"largest min", Update().min(number(std::numeric_limits<int32_t>::max())), std::numeric_limits<int32_t>::max(),
         std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::max(), true, true},
        {"barber off when off", Update().barber(false), 0, 100, 0, false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ProgressModel model;
        model.reset(0);
        const ProgressShow shown = model.update(row.update);
        EXPECT_EQ(model.min(), row.min);
        EXPECT_EQ(model.max(), row.max);
        EXPECT_EQ(model.value(), row.value);
        EXPECT_EQ(shown.show, row.show);
        EXPECT_EQ(shown.setRange, row.setRange);
    }
}

TEST(ProgressModel, BeforeItsFirstResetEverythingIsZero) {
    ProgressModel model;
    model.update(Update().value(number(5)));
    EXPECT_EQ(model.max(), 1);  // min 0 >= max 0 makes max 1
    EXPECT_EQ(model.value(), 1);
}

TEST(ProgressModel, BarberSwitchesResetTheRange) {
    ProgressModel model;
    model.reset(0);
    model.update(Update().max(number(50)).value(number(30)));
    ProgressShow shown = model.update(Update().barber(true));
    EXPECT_TRUE(model.barber());
    EXPECT_TRUE(shown.show);
    EXPECT_EQ(model.max(), ProgressModel::kBarberMax);
    EXPECT_EQ(model.value(), 0);

    // In barber mode every update shows a frame, values or not.
    EXPECT_TRUE(model.update(Update()).show);
    // Back to value mode: an empty bar with the range 0 to 10.
    shown = model.update(Update().barber(false));
    EXPECT_FALSE(model.barber());
    EXPECT_TRUE(shown.show);
    EXPECT_TRUE(shown.setRange);
    EXPECT_EQ(model.min(), 0);
    EXPECT_EQ(model.max(), ProgressModel::kBarberMax);
    EXPECT_EQ(model.value(), 0);
}

TEST(ProgressModel, StripesMoveOnlyAfterTheFrameInterval) {
    ProgressModel model;
    const uint32_t start = std::numeric_limits<uint32_t>::max() - 10;  // the tick counter wraps meanwhile
    model.reset(start);
    EXPECT_FALSE(model.advanceFrame(start + 6));  // not past the first frame's time yet
    const int32_t expected[] = {48, 42, 36, 30, 24, 18, 12, 6, 0, 48, 42};
    uint32_t now = start + 7;
    for (const int32_t offset : expected) {
        SCOPED_TRACE(offset);
        ASSERT_TRUE(model.advanceFrame(now));
        EXPECT_EQ(model.offset(), offset);
        EXPECT_FALSE(model.advanceFrame(now + 6));
        now += 7;
    }
}

}  // namespace
}  // namespace korvane
