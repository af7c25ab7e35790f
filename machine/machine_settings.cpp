#include "machine/random.h"
#include "machine/tables.h"

namespace {
bool scheduled(int32_t day) { return day >= 0 && day < SCHEDULE_DAYS; }
}  // namespace

void chooseMachineSettings(int32_t day, int parlour, int seat, int32_t& slotSetting, int32_t& nailSetting) {
    if (scheduled(day)) {
        int index = parlour * MACHINES_PER_PARLOUR + seat;
        slotSetting = daySchedule[day].slotSetting[index];
        nailSetting = daySchedule[day].nailSetting[index];
        return;
    }
    discardRandom(static_cast<int64_t>(day) - 100);
    slotSetting = NextRandom() % 7;
    nailSetting = NextRandom() % 7;
}

bool isEventDay(int32_t day, int parlour) {
    return scheduled(day) && parlour >= 0 && parlour < PARLOURS && daySchedule[day].eventFlag[parlour] != 0;
}
