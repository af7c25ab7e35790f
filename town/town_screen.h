// The town: the screen shown whenever the player is not seated at a machine.
#pragma once

namespace platform {
struct Window;
}

void townTick(platform::Window* window);
