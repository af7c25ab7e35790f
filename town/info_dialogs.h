// The information dialogs: the introduction, the home summary, the sound
// setting and the about box.
#pragma once

#include <cstdint>

namespace platform {
struct Window;
}

int32_t introDialogProc(platform::Window* dialog, uint32_t message, uint32_t wParam, uint32_t lParam);
int32_t homeDialogProc(platform::Window* dialog, uint32_t message, uint32_t wParam, uint32_t lParam);
int32_t soundDialogProc(platform::Window* dialog, uint32_t message, uint32_t wParam, uint32_t lParam);
int32_t aboutDialogProc(platform::Window* dialog, uint32_t message, uint32_t wParam, uint32_t lParam);
