// The picture the window shows: the primary surface of the display, which is
// the window's 640 × 416 game area. The Qt window paints it; the headless
// runner writes it to PNG files.
#pragma once

#include <cstdint>

namespace platform {

struct ScreenPixels {
    const uint32_t* pixels = nullptr;  // 0x00RRGGBB, row after row
    int width = 0;
    int height = 0;
    int stride = 0;  // in pixels
};

// False while no primary surface exists.
bool primaryPixels(ScreenPixels& out);

// Called after every blit into the primary surface, so that the window can
// schedule a repaint of its game area.
using PresentListener = void (*)(void* context);
void setPresentListener(PresentListener listener, void* context);

}  // namespace platform
