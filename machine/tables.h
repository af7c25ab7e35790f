// The machine tables: the built-in day schedule and the choice of a seat's
// settings. The records themselves live in state/machine_records.h.
#pragma once

#include <cstdint>

#include "state/machine_records.h"

// Writes the built-in schedule. Called once at start-up.
void fillDaySchedule();

// The slot and nail settings of machine `seat` of `parlour` on `day`: from the
// schedule for days 0..109. Any other day (beyond the schedule, or a negative
// day from a damaged save file) draws them at random after discarding
// day − 100 values (none when that is negative).
void chooseMachineSettings(int32_t day, int parlour, int seat, int32_t& slotSetting, int32_t& nailSetting);

// Whether parlour p has its event (flowers) on `day`; never outside the schedule.
bool isEventDay(int32_t day, int parlour);
