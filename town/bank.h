// The bank counter dialog (template 24): deposit, withdrawal, loan and
// repayment, chosen by the counter the walker stands on (bankState 21..24).
#pragma once

#include <cstdint>

namespace platform {
struct Window;
}  // namespace platform

int32_t bankDialogProc(platform::Window* dialog, uint32_t message, uint32_t wParam, uint32_t lParam);
