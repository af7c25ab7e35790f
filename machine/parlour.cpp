#include "machine/parlour.h"

#include "machine/tables.h"
#include "platform/window.h"
#include "state/game_state.h"

void seatAtMachine(int32_t day, int32_t parlour, int32_t seat) {
    game.inParlour = 1;
    chooseMachineSettings(day, parlour, seat, game.machine.slotSetting, game.machine.nailSetting);
}

void parlourTick(platform::Window* window) {
    platform::beginPaint(window);
    // Leaving: the player asked to go (keys, leave button) or closing time came.
    if (game.leaveParlour == 1) {
        game.ticksPaused = 0;
        game.inParlour = 0;
        game.moveX = 0;
        game.moveY = 0;
        game.leaveParlour = 0;
        game.dialPower = 0;
        game.slotPrizeLeft = 0;
        for (BallSlot& slot : game.machine.ballSlots) slot.step = 0;
    }
    platform::endPaint(window);
}
