#include "town/town_screen.h"

#include "platform/window.h"

void townTick(platform::Window* window) {
    platform::beginPaint(window);
    platform::endPaint(window);
}
