#include "state/machine_records.h"

DayRecord daySchedule[SCHEDULE_DAYS];
BallPathTableData BallPathTable;
