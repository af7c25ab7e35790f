// Tuning mode: the editor of the 100 ball courses.
#pragma once

#include <cstdint>

namespace platform {
struct Window;
}

void tuningTick(platform::Window* window);
void copyPattern(int pattern);
void pastePattern(int pattern);
// The label the tuning screen shows for a marker stored as a waypoint's x,
// or null for a position or an unlabelled marker.
const char* tuningMarkerLabel(int32_t x);
