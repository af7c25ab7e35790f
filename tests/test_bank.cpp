// The bank counters: deposits, withdrawals, the three-loan ladder and
// repayment, the lines the dialog writes, and the refusals that keep money
// from wrapping into debt.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "platform/headless.h"
#include "platform/window.h"
#include "resources/resources.h"
#include "state/game_state.h"
#include "test_support.h"
#include "town/bank.h"

using testing_support::logLines;

namespace {

constexpr int32_t DEPOSIT = 21;
constexpr int32_t WITHDRAW = 22;
constexpr int32_t LOAN = 23;
constexpr int32_t REPAY = 24;
constexpr int32_t MAX = std::numeric_limits<int32_t>::max();

const std::string MSG_DEPOSITED = "預金ありがとう御座いました。";
const std::string MSG_NO_CASH = "     お金が足りません。！      ";
const std::string MSG_WITHDRAWN = "    お引き出しました。！     ";
const std::string MSG_NO_DEPOSIT = "   預金残高が足りません。！";
const std::string MSG_LENT = "お貸しします。返済日は30日後です";
const std::string MSG_REFUSED = "    貸すことが出来ません。！       ";
const std::string MSG_REPAID = "  返済ありがとう御座いました。   ";
const std::string MSG_NOTHING = "     返済金が足りません。！        ";

std::string line(int x, int y, const std::string& text) {
    return "dialog 24 text " + std::to_string(x) + "," + std::to_string(y) + " \"" + text + "\"";
}

class Bank : public testing::Test {
protected:
    testing_support::GameDir dir;

    void SetUp() override { newGame(); }

    // The town opens a dialog when the walker steps on a counter.
    platform::Window* open(int32_t counter) {
        game.bankState = counter;
        platform::Window* dialog = platform::createDialog(BANK_DIALOG, nullptr, bankDialogProc);
        platform::showDialog(dialog);
        return dialog;
    }
    // Types the amount and presses 決定; returns the lines written meanwhile.
    std::vector<std::string> decide(platform::Window* dialog, const std::string& amount) {
        size_t before = logLines("dialog 24 text").size();
        headless::typeText(dialog, 61, amount);
        headless::click(dialog, 42);
        std::vector<std::string> all = logLines("dialog 24 text");
        return std::vector<std::string>(all.begin() + static_cast<long>(before), all.end());
    }
    static std::string message(const std::vector<std::string>& lines) {
        for (const std::string& l : lines)
            if (l.rfind("dialog 24 text 10,152 ", 0) == 0) return l.substr(23, l.size() - 24);
        return "(none)";
    }
};

// What each counter writes: its title, the balance or the loan summary, the
// numbers right-aligned in ten places.
TEST_F(Bank, TheLinesOfADepositAndALoan) {
    platform::Window* dialog = open(DEPOSIT);
    EXPECT_EQ(logLines("dialog 24 text"),
              (std::vector<std::string>{line(60, 6, "預金 カウンター"), line(10, 80, "       只今の預金残高は        "),
                                        line(10, 104, "                    0です。          ")}));
    dialog = open(LOAN);
    EXPECT_EQ(logLines("dialog 24 text")[3], line(60, 6, "融資 カウンター"));
    EXPECT_EQ(decide(dialog, "50000"), (std::vector<std::string>{line(10, 152, MSG_LENT),
                                                                 line(10, 80, "次の返却の借金は     51499です。"),
                                                                 line(10, 104, "次の返済日        30です。"),
                                                                 line(10, 128, "総借金は     51499です。")}));
}

// One step at one counter, from the given cash and deposit: the message and
// the money after. Amounts are read as the classic decimal conversion reads
// them, negative amounts are refused everywhere, and money never wraps into
// debt: what would pass the 32-bit limit is refused with the counter's own
// message while the amount just inside it goes through.
TEST_F(Bank, EachCounterPaysUpToTheLastYenAndRefusesBeyond) {
    struct Case {
        int32_t counter, cash, deposit;
        const char* amount;
        std::string message;
        int32_t cashAfter, depositAfter;
    };
    const Case cases[] = {
        {DEPOSIT, 7000, 3000, "7001", MSG_NO_CASH, 7000, 3000},
        {DEPOSIT, 7000, 3000, "7000", MSG_DEPOSITED, 0, 10000},
        {WITHDRAW, 0, 10000, "10001", MSG_NO_DEPOSIT, 0, 10000},
        {WITHDRAW, 0, 10000, "10000", MSG_WITHDRAWN, 10000, 0},
        // The new game's credit line of 50,000 covers 50,000 and not a yen more.
        {LOAN, 10000, 0, "50001", MSG_REFUSED, 10000, 0},
        {LOAN, 10000, 0, "50000", MSG_LENT, 60000, 0},
        // Only eight characters are read: 12,345,678, where 123,456,789 would be more than the cash.
        {DEPOSIT, 20000000, 0, "123456789", MSG_DEPOSITED, 20000000 - 12345678, 12345678},
        {DEPOSIT, 10000, 5000, "-100", MSG_NO_CASH, 10000, 5000},
        {LOAN, 10000, 5000, "-100", MSG_REFUSED, 10000, 5000},
        {DEPOSIT, 100, MAX - 10, "11", MSG_NO_CASH, 100, MAX - 10},
        {DEPOSIT, 100, MAX - 10, "10", MSG_DEPOSITED, 90, MAX},
    };
    platform::Window* dialog = open(DEPOSIT);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.amount) + " at counter " + std::to_string(c.counter));
        newGame();
        game.player.cash = c.cash;
        game.player.deposit = c.deposit;
        game.bankState = c.counter;
        EXPECT_EQ(message(decide(dialog, c.amount)), c.message);
        EXPECT_EQ(game.player.cash, c.cashAfter);
        EXPECT_EQ(game.player.deposit, c.depositAfter);
        EXPECT_EQ(game.player.loanCount, c.message == MSG_LENT ? 1 : 0);
    }
}

TEST_F(Bank, ThreeLoansAndNoFourth) {
    platform::Window* dialog = open(LOAN);
    EXPECT_EQ(message(decide(dialog, "50000")), MSG_LENT);
    // The credit line no longer covers what is owed: even a loan of 0 is refused.
    EXPECT_EQ(message(decide(dialog, "0")), MSG_REFUSED);
    game.player.deposit = 100000;
    EXPECT_EQ(message(decide(dialog, "10000")), MSG_LENT);
    EXPECT_EQ(message(decide(dialog, "100")), MSG_LENT);
    EXPECT_EQ(game.player.cash, 70100);
    // 103 % truncated, as the extended sum a + a * 0.03 rounds it: 0.03 is held a
    // little below 3/100, so a whole 103 % falls one short (100 -> 102.999... -> 102).
    const Loan* loans = game.player.loans;
    EXPECT_EQ((std::vector<int32_t>{loans[0].amountDue, loans[1].amountDue, loans[2].amountDue}),
              (std::vector<int32_t>{51499, 10299, 102}));
    // A fourth is refused though the credit would allow it, and so is any
    // loan while a damaged count points past the three slots.
    game.player.deposit = 10000000;
    for (int32_t count : {3, 1000, -1}) {
        game.player.loanCount = count;
        EXPECT_EQ(message(decide(dialog, "1")), MSG_REFUSED) << count;
    }
    EXPECT_EQ(game.player.cash, 70100);
}

TEST_F(Bank, RepayingALaterLoanMovesTheRestDown) {
    game.player.loans[0] = {1, 60000, 30};
    game.player.loans[1] = {1, 1000, 30};
    game.player.loans[2] = {1, 50000, 30};
    game.player.loanCount = 3;
    game.player.cash = 1500;
    platform::Window* dialog = open(REPAY);
    // The typed amount is not used: the first loan the cash covers is repaid.
    std::vector<std::string> lines = decide(dialog, "99999");
    EXPECT_EQ(message(lines), MSG_REPAID);
    EXPECT_EQ(lines.back(), line(10, 128, "総借金は    110000です。"));
    EXPECT_EQ(game.player.cash, 500);
    EXPECT_EQ(game.player.loanCount, 2);
    EXPECT_EQ(game.player.loans[1].amountDue, 50000);
    EXPECT_EQ(game.player.loans[2].active, 0);
}

TEST_F(Bank, OnlyTheOldestLoanRaisesTheCreditLine) {
    game.player.loans[0] = {1, 300, 30};
    game.player.loans[1] = {1, 200, 30};
    game.player.loans[2] = {1, 100, 30};
    game.player.loanCount = 3;
    game.player.cash = 600;  // the last repayment takes the last yen
    platform::Window* dialog = open(REPAY);
    for (int32_t expected : {80000, 110000, 140000}) {
        EXPECT_EQ(message(decide(dialog, "")), MSG_REPAID);
        EXPECT_EQ(game.player.creditLimit, expected);
    }
    EXPECT_EQ(game.player.cash, 0);
    EXPECT_EQ(game.player.loanCount, 0);
    EXPECT_EQ(message(decide(dialog, "")), MSG_NOTHING);
}

TEST_F(Bank, DialogsFollowTheCounterInUse) {
    platform::Window* first = open(DEPOSIT);
    // The walker steps off the counter: 決定 does nothing, a repaint shows nothing.
    game.bankState = 20;
    size_t lines = logLines("dialog 24 text").size();
    decide(first, "100");
    EXPECT_EQ(logLines("dialog 24 text").size(), lines);
    EXPECT_EQ(game.player.cash, 10000);

    // He steps on the withdrawal counter, which opens a second dialog; the
    // first one now withdraws too.
    game.player.deposit = 500;
    platform::Window* second = open(WITHDRAW);
    EXPECT_EQ(message(decide(first, "200")), MSG_WITHDRAWN);
    EXPECT_EQ(message(decide(second, "300")), MSG_WITHDRAWN);
    EXPECT_EQ(game.player.deposit, 0);
    // (終了 and the close box letting the town tick again: the end-to-end day
    // walks on after each counter.)
}

}  // namespace
