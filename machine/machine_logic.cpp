#include "machine/machine_logic.h"

#include "machine/playfield.h"
#include "machine/random.h"
#include "machine/tables.h"
#include "state/game_state.h"

namespace {

constexpr int32_t SETTINGS = 7;
constexpr int32_t NAIL_INTERVALS[SETTINGS] = {40, 20, 16, 12, 8, 5, 2};
// Middle reel start per slot setting, and the spins between forced wins
// (settings 2..6; 0 and 1 never force a spin).
constexpr int32_t MIDDLE_REEL_START[SETTINGS] = {116, 145, 174, 203, 87, 58, 232};
constexpr int32_t REEL_RELOAD[SETTINGS] = {0, 0, 500, 250, 120, 50, 15};
// Countdown values at which a spin is made a near miss.
constexpr int32_t NEAR_MISS_AT[] = {1, 5, 10, 20, 40, 80, 160};

// Pixels per tick of each reel in each spin phase (phases 7..11 rest).
constexpr int32_t REEL_PHASES = 12;
constexpr int32_t REEL_SPEEDS[REEL_PHASES][3] = {
    {0, 0, 0}, {14, 14, 14}, {7, 14, 14}, {3, 7, 14}, {1, 3, 7}, {0, 1, 3},
    {0, 0, 1}, {0, 0, 0},    {0, 0, 0},   {0, 0, 0},  {0, 0, 0}, {0, 0, 0},
};
// Rows of the strip a reel may show: the wrap points depend on the speed.
constexpr int32_t REEL_WRAP_FAST = 288;  // speeds of 5 and more
constexpr int32_t REEL_WRAP_SLOW = 290;  // slower speeds
constexpr int32_t REEL_LAST_SYMBOL = 261;

// Where a forced spin puts reels 1 and 2 once reel 0 nears symbol D, as
// offsets from that symbol's row T = 29 D.
constexpr int32_t FORCED_OFFSET[10][2] = {
    {43, 87}, {43, 101}, {43, 101}, {43, 101}, {43, 87}, {29, 43}, {29, 43}, {14, 0}, {14, 14}, {0, -29},
};

// The launch bands whose course the nail countdown governs: dial up to
// `top` takes base + r mod narrowMod + narrowAdd while the countdown runs,
// base + r mod fullMod when it has run out.
struct CountedBand {
    int32_t top, base, narrowMod, narrowAdd, fullMod;
};
constexpr CountedBand COUNTED_BANDS[] = {
    {51, 5, 9, 1, 10},   {64, 15, 8, 2, 10},  {77, 25, 9, 1, 10}, {90, 35, 9, 1, 10},
    {103, 45, 7, 3, 10}, {116, 55, 6, 4, 10}, {129, 65, 4, 2, 6}, {155, 75, 3, 1, 4},
};

constexpr int32_t PAYOUT_BALLS = 6;
constexpr int32_t GATE_PAYOUT_BALLS = 10;

bool ordinaryMode(int32_t mode) { return mode == 0 || mode == 1; }
bool gateOpen() { return game.slotPrizeLeft > 0; }
int32_t clampSetting(int32_t value) { return value < 0 ? 0 : (value >= SETTINGS ? SETTINGS - 1 : value); }

void count(MachineStats* stats, int64_t MachineStats::*field, int64_t n = 1) {
    if (stats) stats->*field += n;
}

// What a seat takes from its two settings, and a clear table: no stocked
// spins, no balls in flight.
void applySettings(int32_t slotSetting, int32_t nailSetting) {
    MachineState& m = game.machine;
    m.slotSetting = clampSetting(slotSetting);
    m.nailSetting = clampSetting(nailSetting);
    m.nailInterval = NAIL_INTERVALS[m.nailSetting];
    m.nailCountdown = m.nailInterval;
    m.reelPos[1] = MIDDLE_REEL_START[m.slotSetting];
    if (m.slotSetting < 2) {
        m.reelMode = m.slotSetting;
    } else {
        // The mode of a spin under way stays until the next spin start.
        m.reelReload = REEL_RELOAD[m.slotSetting];
        m.reelCountdown = m.reelReload;
    }
    m.reelPos[0] = (NextRandom() % 10) * REEL_SYMBOL_ROWS;
    m.reelPos[2] = (NextRandom() % 8) * REEL_SYMBOL_ROWS;
    m.entryCount = 0;
    m.spinStock = 0;
    for (BallSlot& slot : m.ballSlots) slot.step = 0;
}

// Steps forward by one waypoint; a ball moved past the last waypoint leaves.
void moveOn(BallSlot& slot, MachineStats* stats) {
    ++slot.step;
    if (slot.step >= STEPS) {
        slot.step = 0;
        count(stats, &MachineStats::ballsRanOff);
    }
}

void lenderStep(const MachineTickIo& io) {
    MachineFrame* frame = io.frame;
    if (frame) frame->lenderLit = game.lenderState == LENDER_HOVER;
    if (game.lenderState == LENDER_PRESSED) {
        if (game.player.cash > BALL_PRICE_YEN) {
            game.player.cash -= BALL_PRICE_YEN;
            game.lenderState = LENDER_PURCHASE;
            count(io.stats, &MachineStats::purchases);
        } else if (game.promptGuard == 0) {
            // The box is modal but the window keeps ticking under it; the
            // guard keeps those ticks from opening a second one.
            game.promptGuard = 1;
            count(io.stats, &MachineStats::refusals);
            if (io.refusalBox) io.refusalBox(io.context);
            game.promptGuard = 0;
            game.lenderState = LENDER_IDLE;
        }
    }
    int32_t& s = game.lenderState;
    if (frame) frame->startBallSound = s == LENDER_PURCHASE || s == LENDER_PAYOUT;
    // The tray: each row drawn moves the state on at once, so the next row
    // is tested against the new value.
    auto row = [&](int row, bool shown) {
        if (!shown) return;
        if (frame) frame->trayRow[row] = true;
        ++s;
    };
    row(0, (s >= 3 && s <= 7) || (s >= 23 && s <= 27));
    row(1, (s >= 5 && s <= 9) || (s >= 23 && s <= 29));
    row(2, (s >= 7 && s <= 11) || (s >= 27 && s <= 31));
    if (s == LENDER_CREDIT) {
        game.player.balls = wrapAdd(game.player.balls, BALLS_PER_PURCHASE);
        count(io.stats, &MachineStats::ballsBought, BALLS_PER_PURCHASE);
        s = LENDER_IDLE;
    } else if (s >= 32) {
        s = LENDER_IDLE;
    }
}

void launchStep(MachineStats* stats) {
    MachineState& m = game.machine;
    if (game.dialPower > 0 && game.player.balls > 0 && m.launchTick == 0 && game.launchStopped == 0) {
        BallSlot* idle = nullptr;
        for (BallSlot& slot : m.ballSlots) {
            if (slot.step == 0) {
                idle = &slot;
                break;
            }
        }
        if (!idle) {
            count(stats, &MachineStats::launchesBlocked);
        } else {
            idle->step = 1;
            idle->pattern = launchPattern(game.dialPower);
            game.player.balls -= 1;
            count(stats, &MachineStats::ballsLaunched);
        }
    }
    if (m.launchTick > LAUNCH_CADENCE - 2)
        m.launchTick = 0;
    else
        ++m.launchTick;
}

void flightStep(MachineFrame* frame, MachineStats* stats) {
    for (BallSlot& slot : game.machine.ballSlots) {
        if (slot.step == 0) continue;  // an idle slot never acts on its old course
        if (slot.step < 0 || slot.step >= STEPS || slot.pattern < 0 || slot.pattern >= PATTERNS) {
            slot.step = 0;  // not a course position: the ball is gone
            continue;
        }
        const BallPattern& course = BallPathTable.pattern[slot.pattern];
        int32_t e = course.xs[slot.step];
        if (isRegionMarker(e)) applyMarker(slot, e, stats);
        if (slot.step != 0 && !isRegionMarker(course.xs[slot.step])) {
            if (frame) {
                frame->ballX[frame->ballCount] = course.xs[slot.step];
                frame->ballY[frame->ballCount] = course.ys[slot.step];
                ++frame->ballCount;
            }
            moveOn(slot, stats);
        }
    }
}

void wingsTulipsLamps(MachineFrame* frame, MachineStats* stats) {
    MachineState& m = game.machine;
    for (int k = 0; k < 4; ++k) {
        if (frame) frame->wingFirstPicture[k] = (m.wingTicks[k] & 1) != 0;
        if (m.wingTicks[k] != 0) --m.wingTicks[k];
    }
    if (frame) {
        frame->tulipOpen[0] = m.tulipOpen[0] == 1;
        frame->tulipOpen[1] = m.tulipOpen[1] == 1;
    }
    if (m.spinStock <= 0) return;
    if (frame) {
        frame->holdLamps = m.spinStock > 4 ? 4 : m.spinStock;
        frame->overflowLamp = m.spinStock > 3 && m.entryCount > 4;
    }
    startSpin(stats);
}

void leaveStep(MachineFrame* frame) {
    if (game.leaveParlour != 1) return;
    game.ticksPaused = 0;
    game.inParlour = 0;
    game.moveX = 0;
    game.moveY = 0;
    game.leaveParlour = 0;
    game.dialPower = 0;
    game.slotPrizeLeft = 0;
    for (BallSlot& slot : game.machine.ballSlots) slot.step = 0;
    if (frame) frame->left = true;
}

}  // namespace

void seatMachine(int32_t day, int32_t parlour, int32_t seat) {
    game.inParlour = 1;
    int32_t slotSetting = 0, nailSetting = 0;
    parlour = parlour < 0 ? 0 : (parlour >= PARLOURS ? PARLOURS - 1 : parlour);
    seat = seat < 0 ? 0 : (seat >= MACHINES_PER_PARLOUR ? MACHINES_PER_PARLOUR - 1 : seat);
    chooseMachineSettings(day, parlour, seat, slotSetting, nailSetting);
    applySettings(slotSetting, nailSetting);
}

void seatWithSettings(int32_t slotSetting, int32_t nailSetting) {
    game.inParlour = 1;
    applySettings(slotSetting, nailSetting);
}

bool pressLender() {
    if (game.lenderState >= LENDER_PRESSED) return false;
    game.lenderState = LENDER_PRESSED;
    return true;
}

void machineTick(const MachineTickIo& io) {
    MachineFrame* frame = io.frame;
    MachineStats* stats = io.stats;
    count(stats, &MachineStats::ticks);
    lenderStep(io);
    if (frame) {
        frame->stopShown = game.launchStopped == 1;
        frame->dialPower = game.dialPower;
    }
    launchStep(stats);
    bool open = gateStep(stats);
    if (frame) {
        frame->gateOpen = open;
        // The lamps blink on the odd counts, as the count stood before the step.
        frame->gateLampsLit = open && (game.slotPrizeLeft & 1) == 0;
    }
    flightStep(frame, stats);
    wingsTulipsLamps(frame, stats);
    reelStep(stats);
    if (frame) {
        for (int i = 0; i < 3; ++i) frame->reelPos[i] = game.machine.reelPos[i];
    }
    leaveStep(frame);
}

int32_t launchPattern(int32_t dialPower) {
    MachineState& m = game.machine;
    int32_t s = dialPower > DIAL_MAX_POWER ? DIAL_MAX_POWER : dialPower;
    // Bands that take one fixed course draw nothing and leave the countdown.
    if (s <= 12) return 0;
    if (s <= 25) return 1;
    if (s <= 38) return 2;
    if (s >= 156 && s <= 169) return 79;
    if (s >= 170) return 0;
    int32_t r = NextRandom();
    if (s >= 130 && s <= 142) return 71 + r % 4;  // drawn, but not counted
    // The counted bands share one countdown: while it runs the narrow range,
    // when it runs out the full range and a reload.
    for (const CountedBand& band : COUNTED_BANDS) {
        if (s > band.top) continue;
        if (m.nailCountdown > 0) {
            --m.nailCountdown;
            return band.base + r % band.narrowMod + band.narrowAdd;
        }
        m.nailCountdown = m.nailInterval;
        return band.base + r % band.fullMod;
    }
    return 0;
}

void applyMarker(BallSlot& slot, int32_t marker, MachineStats* stats) {
    MachineState& m = game.machine;
    if (stats && marker >= MARKER_MIN && marker <= MARKER_OUT) ++stats->markerHits[marker - MARKER_MIN];
    auto paid = [&](int32_t n) {
        if (stats) stats->ballsPaidAt[marker - MARKER_MIN] += n;
    };
    auto end = [&slot] { slot.step = 0; };
    auto toggle = [](uint8_t& flag) { flag = flag == 1 ? 0 : 1; };
    switch (marker) {
        case MARKER_WING_0:
        case MARKER_WING_1:
        case MARKER_WING_2:
        case MARKER_WING_3: {
            uint8_t& wing = m.wingTicks[marker - MARKER_WING_0];
            wing = static_cast<uint8_t>((wing & 1) + WING_TURN_TICKS);
            moveOn(slot, stats);
            break;
        }
        case MARKER_NEAR_LEFT_TULIP:
        case MARKER_NEAR_RIGHT_TULIP: {
            uint8_t& tulip = m.tulipOpen[marker - MARKER_NEAR_LEFT_TULIP];
            if (tulip != 1) {
                moveOn(slot, stats);
                break;
            }
            payout(PAYOUT_BALLS, stats);
            paid(PAYOUT_BALLS);
            tulip = 0;
            end();
            addEntry(stats);
            break;
        }
        case MARKER_NEAR_GATE:
            if (!gateOpen()) {
                moveOn(slot, stats);
                break;
            }
            payout(GATE_PAYOUT_BALLS, stats);
            paid(GATE_PAYOUT_BALLS);
            end();
            break;
        case MARKER_RETURN:
            // The ball comes back silently: no tray, no sound.
            game.player.balls = wrapAdd(game.player.balls, 1);
            if (stats) ++stats->ballsPaid;
            paid(1);
            end();
            break;
        case MARKER_TOP_POCKET:
            payout(PAYOUT_BALLS, stats);
            paid(PAYOUT_BALLS);
            toggle(m.tulipOpen[0]);
            end();
            break;
        case MARKER_LEFT_TULIP:
            payout(PAYOUT_BALLS, stats);
            paid(PAYOUT_BALLS);
            toggle(m.tulipOpen[0]);
            end();
            addEntry(stats);
            break;
        case MARKER_RIGHT_POCKET:
            // A through gate: it opens both tulips and the ball runs on.
            m.tulipOpen[1] = 1;
            m.tulipOpen[0] = 1;
            moveOn(slot, stats);
            break;
        case MARKER_RIGHT_TULIP:
            payout(PAYOUT_BALLS, stats);
            paid(PAYOUT_BALLS);
            toggle(m.tulipOpen[1]);
            end();
            addEntry(stats);
            break;
        case MARKER_START_POCKET:
            payout(PAYOUT_BALLS, stats);
            paid(PAYOUT_BALLS);
            end();
            addEntry(stats);
            break;
        case MARKER_OUT: end(); break;
        default: break;  // a waypoint without an effect holds the ball where it is
    }
}

void payout(int32_t n, MachineStats* stats) {
    if (game.lenderState >= LENDER_PURCHASE && game.lenderState < LENDER_CREDIT) {
        // A purchase still in the tray is never lost: its balls come now.
        game.player.balls = wrapAdd(game.player.balls, BALLS_PER_PURCHASE);
        count(stats, &MachineStats::ballsBought, BALLS_PER_PURCHASE);
    }
    game.lenderState = LENDER_PAYOUT;
    game.player.balls = wrapAdd(game.player.balls, n);
    if (stats) {
        ++stats->payouts;
        stats->ballsPaid += n;
    }
}

void addEntry(MachineStats* stats) {
    MachineState& m = game.machine;
    if (m.spinStock < 4) ++m.spinStock;
    m.entryCount = wrapAdd(m.entryCount, 1);
    count(stats, &MachineStats::entries);
}

void startSpin(MachineStats* stats) {
    MachineState& m = game.machine;
    // Stocked spins wait while the reels turn or the gate is open.
    if (m.spinStock <= 0 || m.reelState != 0 || gateOpen()) return;
    m.reelState = 1;
    m.spinStock -= 1;
    m.entryCount = m.spinStock;
    if (m.slotSetting >= 2) {
        if (m.reelCountdown <= 0) {
            m.reelMode = 3;
            m.reelCountdown = m.reelReload;
        } else {
            --m.reelCountdown;
            m.reelMode = 0;
        }
        for (int32_t at : NEAR_MISS_AT)
            if (m.reelCountdown == at) m.reelMode = 4;
    }
    if (stats) {
        ++stats->spinsStarted;
        if (m.reelMode >= 0 && m.reelMode <= 4) ++stats->spinsByMode[m.reelMode];
    }
}

void reelStep(MachineStats* stats) {
    MachineState& m = game.machine;
    int32_t* pos = m.reelPos;
    // Out-of-range values are not a phase or a strip row: treat them as rest.
    if (m.reelState < 0 || m.reelState >= REEL_PHASES) m.reelState = 0;
    for (int i = 0; i < 3; ++i)
        if (pos[i] < 0 || pos[i] >= REEL_WRAP_SLOW) pos[i] = 0;
    if (m.reelState >= 4) {
        bool ordinary = ordinaryMode(m.reelMode);
        if (pos[0] % REEL_SYMBOL_ROWS == 0 && m.reelState == 4) m.reelState = 5;
        if (pos[1] % REEL_SYMBOL_ROWS == 0 && m.reelState == 5 && (ordinary || pos[1] == pos[0])) m.reelState = 6;
        if (pos[2] % REEL_SYMBOL_ROWS == 0 && m.reelState == 6) {
            bool nearMiss = pos[1] < REEL_LAST_SYMBOL ? pos[2] == pos[1] + REEL_SYMBOL_ROWS : pos[2] == 0;
            if (ordinary || (m.reelMode == 3 && pos[2] == pos[1]) || (m.reelMode == 4 && nearMiss))
                evaluatePrize(stats);
        }
        if (m.reelState >= 7 && m.reelState <= 11) ++m.reelState;
        if (m.reelState >= 12) m.reelState = 0;
    } else if (m.reelState >= 1) {
        if ((m.reelMode == 3 || m.reelMode == 4) && m.reelState == 1) {
            // A forced spin waits at full speed until reel 0 comes up to a
            // drawn symbol, then sets the other two where they will stop.
            int32_t d = NextRandom() % 10;
            int32_t t = REEL_SYMBOL_ROWS * d;
            if (pos[0] >= t - 12 && pos[0] <= t) {
                pos[1] = t + FORCED_OFFSET[d][0];
                pos[2] = t + FORCED_OFFSET[d][1];
                m.reelState = 2;
            }
        } else {
            --m.reelTimer;
            if (m.reelTimer <= 0) {
                m.reelTimer = REEL_TIMER_TICKS;
                ++m.reelState;
            }
        }
    }
    for (int i = 0; i < 3; ++i) {
        int32_t v = REEL_SPEEDS[m.reelState][i];
        pos[i] += v;
        if ((v >= 5 && pos[i] >= REEL_WRAP_FAST) || (v < 5 && pos[i] >= REEL_WRAP_SLOW)) pos[i] = 0;
    }
}

void evaluatePrize(MachineStats* stats) {
    MachineState& m = game.machine;
    ++m.reelState;
    const int32_t* pos = m.reelPos;
    int winning = (pos[0] == WINNING_SYMBOL_POS) + (pos[1] == WINNING_SYMBOL_POS) + (pos[2] == WINNING_SYMBOL_POS);
    int prize = -1;
    if (winning >= 1) prize = 0;
    if (winning >= 2) prize = 1;
    if (pos[0] == pos[1] && pos[1] == pos[2]) prize = 2;
    if (winning == 3) prize = 3;
    if (prize < 0) return;
    game.slotPrizeLeft = PRIZE_TICKS[prize];
    if (stats) ++stats->wins[prize];
}

bool gateStep(MachineStats* stats) {
    if (!gateOpen()) return false;
    --game.slotPrizeLeft;
    count(stats, &MachineStats::gateOpenTicks);
    return true;
}
