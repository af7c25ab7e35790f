#include "town/bank.h"

#include <algorithm>
#include <cstdint>

#include "platform/window.h"
#include "state/game_state.h"
#include "town/dialog_text.h"

namespace {

using platform::Window;

constexpr uint32_t ID_END = 41;
constexpr uint32_t ID_DECIDE = 42;
constexpr int ID_AMOUNT = 61;
constexpr int AMOUNT_CHARS = 8;

constexpr int32_t COUNTER_DEPOSIT = 21;
constexpr int32_t COUNTER_WITHDRAW = 22;
constexpr int32_t COUNTER_LOAN = 23;
constexpr int32_t COUNTER_REPAY = 24;

constexpr int LOAN_SLOTS = 3;
constexpr int32_t LOAN_DUE_DAY = 30;
constexpr int32_t CREDIT_RAISE = 30000;
// Money, debts and the credit sums must stay signed 32-bit values: anything
// that would pass this is refused rather than wrapped into a debt.
constexpr int64_t MONEY_MAX = INT32_MAX;

const char* const COUNTER_TITLES[] = {
    "預金 カウンター",
    "引き出し カウンター",
    "融資 カウンター",
    "返済 カウンター",
};

enum BankMessage {
    DEPOSIT_MADE = 1,
    NOT_ENOUGH_CASH,
    WITHDRAWAL_MADE,
    NOT_ENOUGH_DEPOSIT,
    LOAN_MADE,
    LOAN_REFUSED,
    LOAN_REPAID,
    NOTHING_TO_REPAY,
};

// The leading and trailing blanks belong to the texts: each is written over
// whatever the one before left in the same place.
const char* const MESSAGES[] = {
    "預金ありがとう御座いました。",
    "     お金が足りません。！      ",
    "    お引き出しました。！     ",
    "   預金残高が足りません。！",
    "お貸しします。返済日は30日後です",
    "    貸すことが出来ません。！       ",
    "  返済ありがとう御座いました。   ",
    "     返済金が足りません。！        ",
};

// The typed amount as the classic decimal conversion reads it: blanks
// skipped, an optional sign, digits up to the first non-digit, 0 without any.
// At most eight characters arrive, so the value always fits.
int32_t parseAmount(const char* text) {
    const char* p = text;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
    bool negative = *p == '-';
    if (*p == '+' || *p == '-') ++p;
    int32_t value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) value = value * 10 + (*p - '0');
    return negative ? -value : value;
}

// Only the three slots are read, whatever a damaged save says loanCount is.
int64_t totalDue() {
    int64_t sum = 0;
    for (const Loan& loan : game.player.loans) sum += loan.amountDue;
    return sum;
}

void makeDeposit(Window* dialog, int32_t amount) {
    PlayerRecord& p = game.player;
    if (amount < 0 || amount > p.cash || int64_t{p.deposit} + amount > MONEY_MAX) {
        showBankMessage(dialog, NOT_ENOUGH_CASH);
        return;
    }
    showBankMessage(dialog, DEPOSIT_MADE);
    p.cash -= amount;
    p.deposit += amount;
    showBalance(dialog);
}

void makeWithdrawal(Window* dialog, int32_t amount) {
    PlayerRecord& p = game.player;
    if (amount < 0 || amount > p.deposit || int64_t{p.cash} + amount > MONEY_MAX) {
        showBankMessage(dialog, NOT_ENOUGH_DEPOSIT);
        return;
    }
    showBankMessage(dialog, WITHDRAWAL_MADE);
    p.cash += amount;
    p.deposit -= amount;
    showBalance(dialog);
}

// The bank lends while the deposit and the credit line cover everything owed
// plus the new amount, into the next free slot of three.
void makeLoan(Window* dialog, int32_t amount) {
    PlayerRecord& p = game.player;
    int64_t owed = totalDue();
    int64_t due = loanAmountDue(amount);
    bool refused = amount < 0 || p.loanCount < 0 || p.loanCount >= LOAN_SLOTS ||
                   int64_t{p.deposit} + p.creditLimit < owed + amount || int64_t{p.cash} + amount > MONEY_MAX ||
                   owed + due > MONEY_MAX;
    if (refused) {
        showBankMessage(dialog, LOAN_REFUSED);
        return;
    }
    showBankMessage(dialog, LOAN_MADE);
    p.cash += amount;
    p.loans[p.loanCount] = Loan{1, static_cast<int32_t>(due), LOAN_DUE_DAY};
    p.loanCount += 1;
    showLoanSummary(dialog);
}

// A whole loan is repaid: the oldest one the cash covers. Later loans move
// down a slot; repaying the oldest raises the credit line.
void repayLoan(Window* dialog) {
    PlayerRecord& p = game.player;
    for (int slot = 0; slot < LOAN_SLOTS; ++slot) {
        const Loan& loan = p.loans[slot];
        int64_t left = int64_t{p.cash} - loan.amountDue;
        if (loan.active != 1 || left < 0 || left > MONEY_MAX) continue;
        showBankMessage(dialog, LOAN_REPAID);
        p.cash = static_cast<int32_t>(left);
        for (int later = slot; later + 1 < LOAN_SLOTS; ++later) p.loans[later] = p.loans[later + 1];
        p.loans[LOAN_SLOTS - 1] = Loan{0, 0, 0};
        if (p.loanCount > 0) p.loanCount -= 1;
        showLoanSummary(dialog);
        if (slot == 0) p.creditLimit = static_cast<int32_t>(std::min(int64_t{p.creditLimit} + CREDIT_RAISE, MONEY_MAX));
        return;
    }
    showBankMessage(dialog, NOTHING_TO_REPAY);
}

void decide(Window* dialog) {
    char text[AMOUNT_CHARS + 1];
    platform::getDialogItemText(dialog, ID_AMOUNT, text, sizeof text);
    int32_t amount = parseAmount(text);
    switch (game.bankState) {
        case COUNTER_DEPOSIT: makeDeposit(dialog, amount); break;
        case COUNTER_WITHDRAW: makeWithdrawal(dialog, amount); break;
        case COUNTER_LOAN: makeLoan(dialog, amount); break;
        case COUNTER_REPAY: repayLoan(dialog); break;
        default: break;  // the walker has left the counter
    }
}

void repaint(Window* dialog) {
    int32_t counter = game.bankState;
    if (counter < COUNTER_DEPOSIT || counter > COUNTER_REPAY) return;
    showCounterTitle(dialog, counter - COUNTER_DEPOSIT + 1);
    if (counter <= COUNTER_WITHDRAW)
        showBalance(dialog);
    else
        showLoanSummary(dialog);
}

}  // namespace

// 3 % of the amount, as the classic program computed it: amount + amount × 0.03
// with 0.03 the nearest double (a little below 0.03), summed in 80-bit
// extended precision and truncated. The shortfall of the double 0.03 is about
// amount × 1.1e-18 yen, ten units in the last place of the 80-bit sum, so the
// sum lands just below 103 % when 103 % is a whole number (one yen less after
// truncation) and truncates like exact 103 % otherwise. That is
// (103 × amount − 1) / 100 in integers, on every compiler. The tests check it
// against the 80-bit sum for every amount the edit box can hold (1 to
// 99,999,999) and for every multiple of 100 (the only amounts where the two
// truncations differ) up to 2,084,935,580, the largest amount whose 103 %
// still fits in 32 bits; a larger amount's loan is refused anyway.
int64_t loanAmountDue(int64_t amount) { return (103 * amount - 1) / 100; }

void showCounterTitle(Window* dialog, int n) {
    if (n < 1 || n > 4) return;
    writeDialogLines(dialog, {{60, 6, COUNTER_TITLES[n - 1]}});
}

void showBalance(Window* dialog) {
    writeDialogLines(dialog, {{10, 80, "       只今の預金残高は        "},
                              {10, 104, formatLine("           %10dです。          ", game.player.deposit)}});
}

void showLoanSummary(Window* dialog) {
    const PlayerRecord& p = game.player;
    int32_t total = wrapAdd(wrapAdd(p.loans[0].amountDue, p.loans[1].amountDue), p.loans[2].amountDue);
    writeDialogLines(dialog, {{10, 80, formatLine("次の返却の借金は%10dです。", p.loans[0].amountDue)},
                              {10, 104, formatLine("次の返済日%10dです。", p.loans[0].dueDay)},
                              {10, 128, formatLine("総借金は%10dです。", total)}});
}

void showBankMessage(Window* dialog, int n) {
    if (n < 1 || n > 8) return;
    writeDialogLines(dialog, {{10, 152, MESSAGES[n - 1]}});
}

int32_t bankDialogProc(Window* dialog, uint32_t message, uint32_t wParam, uint32_t) {
    switch (message) {
        case platform::MSG_INITDIALOG: return 1;
        case platform::MSG_PAINT: repaint(dialog); return 1;
        case platform::MSG_COMMAND: {
            uint32_t control = wParam & 0xFFFFu;
            if (control == ID_DECIDE) {
                decide(dialog);
            } else if (control == ID_END || control == static_cast<uint32_t>(platform::IDCANCEL)) {
                platform::endDialog(dialog, 1);
                game.ticksPaused = 0;
            }
            return 1;
        }
        default: return 0;
    }
}
