// The built-in day schedule and the machine settings of days outside it.
#include <gtest/gtest.h>

#include "machine/random.h"
#include "machine/tables.h"
#include "test_support.h"

TEST(Schedule, SpotValuesAndEventDays) {
    fillDaySchedule();
    // Day 16: parlour 1 machine 0 is the only one set in its parlour.
    EXPECT_EQ(daySchedule[16].slotSetting[7], 5);
    EXPECT_EQ(daySchedule[16].nailSetting[7], 6);
    EXPECT_EQ(daySchedule[16].slotSetting[8], 0);
    // Runs cover their days, the last one too: 98..109 share one record.
    EXPECT_EQ(daySchedule[98].slotSetting[4], 5);
    EXPECT_EQ(daySchedule[109].slotSetting[4], 5);
    EXPECT_EQ(daySchedule[109].nailSetting[20], 6);
    // Day 97 is the one day of flowers at all three parlours.
    int allThree = 0;
    for (int day = 0; day < SCHEDULE_DAYS; ++day) {
        const DayRecord& r = daySchedule[day];
        allThree += r.eventFlag[0] && r.eventFlag[1] && r.eventFlag[2];
    }
    EXPECT_EQ(allThree, 1);
    EXPECT_TRUE(isEventDay(97, 0) && isEventDay(97, 1) && isEventDay(97, 2));
    EXPECT_TRUE(isEventDay(6, 1));
    EXPECT_FALSE(isEventDay(6, 0));
    // Outside the schedule there are no flowers, whatever the day.
    EXPECT_FALSE(isEventDay(110, 0));
    EXPECT_FALSE(isEventDay(-1, 0));
    EXPECT_FALSE(isEventDay(INT32_MIN, 1));
}

TEST(MachineSettings, DamagedDaysNeverIndexTheSchedule) {
    testing_support::GameDir dir;
    fillDaySchedule();
    int32_t slot = -1, nail = -1;
    // A negative day (a damaged save) draws at random without discarding.
    chooseMachineSettings(-5, 0, 0, slot, nail);
    RandomState = RandomStateWords();
    EXPECT_EQ(slot, NextRandom() % 7);
    EXPECT_EQ(nail, NextRandom() % 7);
    // The largest day discards two thousand million values in no time.
    RandomState = RandomStateWords();
    chooseMachineSettings(INT32_MAX, 1, 3, slot, nail);
    RandomStateWords after = RandomState;
    RandomState = RandomStateWords();
    discardRandom(int64_t{INT32_MAX} - 100 + 2);
    EXPECT_EQ(after.low, RandomState.low);
    EXPECT_EQ(after.high, RandomState.high);
}
