#include "state/game_state.h"

GameState game;

void resetGameState() { game = GameState(); }

void newGame() {
    PlayerRecord& p = game.player;
    p.day = 0;
    game.dayTicks = 0;
    p.cash = 10000;
    p.balls = 0;
    p.deposit = 0;
    for (Loan& loan : p.loans) loan = Loan{0, 0, 0};
    p.loanCount = 0;
    p.creditLimit = 50000;
    game.slotPrizeLeft = 0;
}

// Summed in 64 bits: two large amounts are a fortune, not a wrapped-around debt.
bool isTycoon() { return int64_t{game.player.cash} + game.player.deposit > 300000000; }

bool isBankrupt() {
    const PlayerRecord& p = game.player;
    return p.loanCount >= 3 && p.cash == 0 && p.deposit == 0 && p.balls == 0;
}

bool isGameRunning() {
    int32_t day = game.player.day;
    return day != 0 && day <= 110 && !isTycoon() && !isBankrupt();
}

bool isOutdoors() {
    return game.inParlour == 0 && game.homeState == 0 && game.bankState == 0 && game.parlourState[0] == 0 &&
           game.parlourState[1] == 0 && game.parlourState[2] == 0;
}
