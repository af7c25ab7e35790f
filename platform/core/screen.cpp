// The window's view of the display: the primary surface's pixels and the
// notice that they changed.
#include "platform/screen.h"

#include "display_internal.h"

namespace platform {

bool primaryPixels(ScreenPixels& out) {
    const Surface* primary = displayState.primary;
    if (!primary) {
        out = ScreenPixels{};
        return false;
    }
    out.pixels = primary->memory.data();
    out.width = primary->width;
    out.height = primary->height;
    out.stride = primary->pitch / 4;
    return true;
}

void setPresentListener(PresentListener listener, void* context) {
    displayState.presentListener = listener;
    displayState.presentContext = context;
}

}  // namespace platform
