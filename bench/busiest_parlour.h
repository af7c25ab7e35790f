// The busiest parlour picture, set up in the started game: shared by the
// native benchmark (bench_ticks.cpp) and the browser's (bench/web/), so the
// two time the very same tick.
#pragma once

#include "machine/machine_logic.h"
#include "machine/parlour.h"
#include "state/game_state.h"
#include "state/machine_records.h"

namespace bench {

// A plain waypoint of a course that lies on the picture, or -1.
inline int drawnStep(const BallPattern& course, int from) {
    for (int s = from; s < STEPS; ++s) {
        const int32_t x = course.xs[s], y = course.ys[s];
        if (!isRegionMarker(x) && x >= 0 && y >= 0 && x <= 640 - 17 && y <= 416 - 17) return s;
    }
    return -1;
}

// 40 balls in flight, the reels turning, the gate open with its lamps lit,
// both tulips open, all hold lamps and the overflow lamp, a full tray, the
// stop sign, the dial and both counters. Returns false (with the reason) when
// the course table cannot give it.
inline bool setUpBusiestParlour(const char*& why) {
    game.introShown = 1;
    game.player.cash = 1234567890;
    game.player.balls = 987654321;
    seatAtMachine(game.player.day, 0, 0);
    MachineState& m = game.machine;
    int slot = 0;
    for (int p = 0; p < PATTERNS && slot < BALL_SLOTS; ++p) {
        const int s = drawnStep(BallPathTable.pattern[p], 8);
        if (s > 0) m.ballSlots[slot++] = BallSlot{p, s};
    }
    m.tulipOpen[0] = m.tulipOpen[1] = 1;
    m.spinStock = 4;
    m.entryCount = 5;
    m.reelState = 2;
    m.reelTimer = 20;
    game.slotPrizeLeft = 101;
    game.lenderState = 7;  // a purchase with all three tray rows showing
    game.launchStopped = 1;
    game.dialPower = 100;

    // Check on a copy that the tick really draws all of it.
    const GameState start = game;
    MachineFrame frame;
    MachineTickIo io;
    io.frame = &frame;
    machineTick(io);
    game = start;
    why = "the courses do not give 40 balls on the picture with the tulips, lamps and gate";
    return frame.ballCount == BALL_SLOTS && frame.gateOpen && frame.gateLampsLit && frame.tulipOpen[0] &&
           frame.tulipOpen[1] && frame.holdLamps == 4 && frame.overflowLamp && frame.trayRow[0] &&
           frame.trayRow[1] && frame.trayRow[2] && frame.stopShown && game.machine.reelState == 2;
}

}  // namespace bench
