// The bank counter dialog (template 24): deposit, withdrawal, loan and
// repayment, chosen by the counter the walker stands on (bankState 21..24).
// The dialog keeps nothing of its own: every repaint and every 決定 reads
// bankState and the player record as they are at that moment, so several
// bank dialogs may be open at once and all act on the current counter.
#pragma once

#include <cstdint>

namespace platform {
struct Window;
}  // namespace platform

int32_t bankDialogProc(platform::Window* dialog, uint32_t message, uint32_t wParam, uint32_t lParam);

// The dialog's lines, each written through its own drawing context.
// n = 1..4 names the counter (deposit, withdrawal, loan, repayment).
void showCounterTitle(platform::Window* dialog, int n);
void showBalance(platform::Window* dialog);
void showLoanSummary(platform::Window* dialog);
// n = 1..8, the result messages.
void showBankMessage(platform::Window* dialog, int n);

// What a loan of the given amount (0 or more) leaves to repay: the amount
// plus 3 %, one yen short whenever 3 % is a whole number of yen.
int64_t loanAmountDue(int64_t amount);
