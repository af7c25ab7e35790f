#include "town/bank.h"

#include "platform/window.h"

// Placeholder until the counters land: the dialog opens and closes.
int32_t bankDialogProc(platform::Window* dialog, uint32_t message, uint32_t wParam, uint32_t) {
    if (message == platform::MSG_INITDIALOG) return 1;
    if (message != platform::MSG_COMMAND) return 0;
    uint32_t control = wParam & 0xFFFFu;
    if (control == 41 || control == static_cast<uint32_t>(platform::IDCANCEL)) platform::endDialog(dialog, 1);
    return 1;
}
