#include "machine/parlour.h"

#include <cstdio>

#include "machine/machine_logic.h"
#include "machine/playfield.h"
#include "media/assets.h"
#include "media/display.h"
#include "media/sound.h"
#include "platform/window.h"
#include "state/game_state.h"

namespace {

constexpr uint32_t COUNTER_TEXT = 0x00000000;        // black
constexpr uint32_t COUNTER_BACKGROUND = 0x0080FFFF;  // pale yellow

platform::Rect at(int32_t x, int32_t y, int32_t width, int32_t height) { return {x, y, x + width, y + height}; }

// The whole of a small picture at (x, y).
void put(platform::Surface* picture, int32_t x, int32_t y, int32_t width, int32_t height, bool keyed) {
    blitToFrame(at(x, y, width, height), picture, at(0, 0, width, height), keyed);
}

void showRefusal(void* window) {
    platform::messageBox(static_cast<platform::Window*>(window), "お金が足りません。！", "パチンコ店内",
                         platform::MB_SETFOREGROUND);
}

void drawNailMarks() {
    int32_t setting = game.machine.nailSetting;
    if (setting < 0 || setting > 6) return;
    const NailMarkSet& marks = NAIL_MARKS[setting];
    for (int i = 0; i < marks.count; ++i)
        put(surfT1, marks.at[i].x, marks.at[i].y, NAIL_MARK_WIDTH, NAIL_MARK_HEIGHT, false);
}

void drawLenderAndTray(const MachineFrame& frame) {
    if (frame.lenderLit) put(surfKoin, LENDER_LIT.left, LENDER_LIT.top, LENDER_LIT.width(), LENDER_LIT.height(), true);
    // The middle ball of a row is squeezed to 15 pixels.
    constexpr int32_t widths[3] = {BALL_SIZE, 15, BALL_SIZE};
    for (int row = 0; row < 3; ++row) {
        if (!frame.trayRow[row]) continue;
        for (int i = 0; i < 3; ++i)
            blitToFrame(at(TRAY_BALL_X[i], TRAY_ROW_Y[row], widths[i], BALL_SIZE), surfTama,
                        at(0, 0, BALL_SIZE, BALL_SIZE), true);
    }
}

void drawControls(const MachineFrame& frame) {
    if (frame.stopShown) put(surfStop, STOP_AREA.left, STOP_AREA.top, STOP_AREA.width(), STOP_AREA.height(), false);
    put(surfDial, DIAL_AT_ZERO.left, DIAL_AT_ZERO.top - frame.dialPower, DIAL_AT_ZERO.width(), DIAL_AT_ZERO.height(),
        false);
}

void drawGate(const MachineFrame& frame) {
    if (!frame.gateOpen) return;
    if (frame.gateLampsLit) {
        for (const PfPoint& p : GATE_LAMP_POS) put(surfLamp3, p.x, p.y, 5, 5, true);
        // The small lamps are stretched over five pixels.
        for (const PfPoint& p : GATE_LAMP_SMALL_POS) blitToFrame(at(p.x, p.y, 5, 5), surfLamp4, at(0, 0, 4, 4), true);
    }
    put(surfGate, GATE.left, GATE.top, GATE.width(), GATE.height(), false);
}

void drawBalls(const MachineFrame& frame) {
    for (int i = 0; i < frame.ballCount; ++i) {
        int32_t x = frame.ballX[i], y = frame.ballY[i];
        // A waypoint off the picture (a damaged course) is not drawn.
        if (x < 0 || y < 0 || x > FRAME_WIDTH - BALL_SIZE || y > FRAME_HEIGHT - BALL_SIZE) continue;
        put(surfTama, x, y, BALL_SIZE, BALL_SIZE, true);
    }
}

void drawWingsTulipsLamps(const MachineFrame& frame) {
    for (int k = 0; k < 4; ++k)
        put(frame.wingFirstPicture[k] ? surfHane1 : surfHane2, WING_POS[k].x, WING_POS[k].y, WING_SIZE, WING_SIZE,
            true);
    put(frame.tulipOpen[0] ? surfTyu1O : surfTyu1C, LEFT_TULIP.left, LEFT_TULIP.top, LEFT_TULIP.width(),
        LEFT_TULIP.height(), true);
    put(frame.tulipOpen[1] ? surfTyu2O : surfTyu2C, RIGHT_TULIP.left, RIGHT_TULIP.top, RIGHT_TULIP.width(),
        RIGHT_TULIP.height(), true);
    for (int i = 0; i < frame.holdLamps; ++i) put(surfLamp1, HOLD_LAMP_POS[i].x, HOLD_LAMP_POS[i].y, 9, 9, true);
    if (frame.overflowLamp) put(surfLamp2, OVERFLOW_LAMP_POS.x, OVERFLOW_LAMP_POS.y, 8, 8, true);
}

void drawReels(const MachineFrame& frame) {
    for (int i = 0; i < 3; ++i)
        blitToFrame(at(REEL_X[i], REEL_WINDOW.top, REEL_WIDTH, REEL_STRIP_WINDOW), surfSlot,
                    at(0, frame.reelPos[i], REEL_WIDTH, REEL_STRIP_WINDOW), false);
}

void drawCounters() {
    if (!beginFrameText(COUNTER_TEXT, COUNTER_BACKGROUND)) return;
    char line[32];
    std::snprintf(line, sizeof line, "%10d 円", game.player.cash);
    drawFrameText(CASH_TEXT.x, CASH_TEXT.y, line);
    std::snprintf(line, sizeof line, "%10d 玉", game.player.balls);
    drawFrameText(BALLS_TEXT.x, BALLS_TEXT.y, line);
    endFrameText();
}

// The sounds of the tick, in the order the tick met them.
void playSounds(const MachineFrame& frame) {
    if (frame.startBallSound) playTamadeSound();
    if (game.soundOff != 0) return;
    if (frame.gateOpen)
        playLooping(sndOpen);
    else
        stopSound(sndOpen);
    if (frame.left) {
        stopSound(sndBase2);
        stopSound(sndOpen);
        stopSound(sndTamade1);
        stopSound(sndTamade2);
        stopSound(sndTamade3);
        playLooping(sndBase1);
    }
}

}  // namespace

void seatAtMachine(int32_t day, int32_t parlour, int32_t seat) {
    seatMachine(day, parlour, seat);
    if (game.soundOff == 0) {
        stopSound(sndBase1);
        playLooping(sndBase2);
    }
}

void parlourTick(platform::Window* window) {
    platform::beginPaint(window);
    if (frameSurface) {
        // The logic runs first (a refusal box may run whole ticks inside it),
        // then the tick's picture is drawn from what it recorded.
        MachineFrame frame;
        MachineTickIo io;
        io.frame = &frame;
        io.refusalBox = showRefusal;
        io.context = window;
        machineTick(io);
        drawBackground(surfBack3);
        drawNailMarks();
        drawLenderAndTray(frame);
        drawControls(frame);
        drawGate(frame);
        drawBalls(frame);
        drawWingsTulipsLamps(frame);
        drawReels(frame);
        playSounds(frame);
        drawCounters();
        presentFrame(window);
    }
    platform::endPaint(window);
}
