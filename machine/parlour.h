// The machine the player sits at: seating and the parlour screen's tick.
#pragma once

#include <cstdint>

namespace platform {
struct Window;
}

void seatAtMachine(int32_t day, int32_t parlour, int32_t seat);
void parlourTick(platform::Window* window);
