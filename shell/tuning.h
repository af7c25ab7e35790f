// Tuning mode: the editor of the 100 ball courses.
#pragma once

namespace platform {
struct Window;
}

void tuningTick(platform::Window* window);
void copyPattern(int pattern);
void pastePattern(int pattern);

#include <cstdint>
// The label the tuning screen shows for a marker, or null.
const char* tuningMarkerLabel(int32_t x);
