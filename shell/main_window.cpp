#include "shell/main_window.h"

#include "machine/parlour.h"
#include "machine/random.h"
#include "machine/tables.h"
#include "media/assets.h"
#include "media/display.h"
#include "media/sound.h"
#include "platform/window.h"
#include "resources/resources.h"
#include "save/save_files.h"
#include "state/game_state.h"
#include "shell/input.h"
#include "shell/tuning.h"
#include "town/info_dialogs.h"
#include "town/town_layout.h"
#include "town/town_screen.h"

namespace {

using namespace platform;

constexpr uint32_t WARNING_BOX = MB_ICONWARNING | MB_SETFOREGROUND;

}  // namespace

void menuEnableRule(uint32_t popup) {
    uint32_t fileItems = (isGameRunning() || !isOutdoors()) ? MF_GRAYED : MF_ENABLED;
    enableMenuItem(popup, CMD_NEW, fileItems);
    enableMenuItem(popup, CMD_SAVE, fileItems);
    enableMenuItem(popup, CMD_LOAD, fileItems);
    enableMenuItem(popup, CMD_SOUND, game.noSoundDevice == 1 ? MF_GRAYED : MF_ENABLED);
}

int32_t mainWindowProc(Window* window, uint32_t message, uint32_t wParam, uint32_t lParam) {
    switch (message) {
        case MSG_CREATE: setTimer(window, TICK_TIMER, TICK_PERIOD_MS); return 0;
        case MSG_DESTROY: postQuitMessage(0); return 0;
        case MSG_ACTIVATE: game.notMinimized = (wParam >> 16) == 0 ? 1 : 0; return 0;
        case MSG_TIMER:
            invalidateWindow(window);
            updateWindow(window);
            return 0;
        case MSG_PAINT: paintTick(window); return 0;
        case MSG_KEYDOWN: onKeyDown(wParam); return 0;
        case MSG_KEYUP: onKeyUp(wParam); return 0;
        case MSG_MOUSEMOVE: onMouseMove(pointX(lParam), pointY(lParam)); return 0;
        case MSG_LBUTTONDOWN: onLeftButtonDown(pointX(lParam), pointY(lParam)); return 0;
        case MSG_LBUTTONUP: onLeftButtonUp(pointX(lParam), pointY(lParam)); return 0;
        case MSG_RBUTTONDOWN: onRightButtonDown(pointX(lParam), pointY(lParam)); return 0;
        case MSG_COMMAND: runMenuCommand(window, wParam & 0xFFFFu); return 0;
        case MSG_INITMENUPOPUP: menuEnableRule(wParam); return 0;
        case MSG_QUERYNEWPALETTE: realizePalette(); return 0;
        default: return defaultWindowProc(window, message, wParam, lParam);
    }
}

void paintTick(Window* window) {
    if (game.tuningMode == 1) {
        tuningTick(window);
        return;
    }
    if (game.ticksPaused == 1) return;
    if (game.inParlour == 1)
        parlourTick(window);
    else
        townTick(window);
    game.dayTicks = wrapAdd(game.dayTicks, 1);
    closingTimeRule(window);
}

void closingTimeRule(Window* window) {
    if (game.dayTicks <= CLOSING_TICKS || game.promptGuard != 0) return;
    game.promptGuard = 1;
    if (game.inParlour == 1) game.leaveParlour = 1;
    // The player is put back into his home.
    game.homeState = PLACE_INSIDE;
    game.bankState = 0;
    for (int32_t& state : game.parlourState) state = 0;
    game.walkerX = 236;
    game.walkerY = 336;
    int32_t answer = messageBox(nullptr, "本日終了しました。終了しますか", "はようでてや",
                                MB_YESNO | MB_ICONWARNING | MB_SETFOREGROUND);
    if (answer == IDYES) {
        destroyWindow(window);
    } else {
        game.dayTicks = 0;
        game.player.day = wrapAdd(game.player.day, 1);
    }
    game.promptGuard = 0;
}

void runMenuCommand(Window* window, uint32_t commandId) {
    switch (commandId) {
        case CMD_NEW: newGame(); break;
        case CMD_EXIT: destroyWindow(window); break;
        case CMD_SOUND: openDialog(window, SOUND_DIALOG, soundDialogProc); break;
        case CMD_HELP: showHelp(window, "pachi.hlp", HELP_FORCEFILE); break;
        case CMD_ABOUT: openDialog(window, ABOUT_DIALOG, aboutDialogProc); break;
        case CMD_SAVE: saveGame(); break;
        case CMD_LOAD:
            if (loadGame() == 1) messageBox(nullptr, "ファイル読み出しに失敗", "Error", WARNING_BOX);
            break;
        case CMD_TROUBLE: showHelp(window, "error.hlp", HELP_FORCEFILE); break;
        case CMD_INTRO: openDialog(window, INTRO_DIALOG, introDialogProc); break;
        default: break;
    }
}

// The first tick comes a whole period after the window was made, long after
// start-up has loaded everything. Its picture is shown at once instead: the
// town tick runs on a copy of the game and the random source, which are put
// back, so the real first tick does and draws exactly what it would have.
// Only where that tick can do nothing but draw: in the town with no door,
// booth or dialog on the move, and with the backdrop on its first frame (the
// second one's picture is loaded after the first picture). The introduction,
// which the first tick opens, is held back in the copy; it changes nothing in
// the picture.
void showFirstFrame(Window* window) {
    const bool atRest = game.tuningMode == 0 && game.inParlour == 0 && game.ticksPaused == 0 &&
                        game.backdropTick <= 2 && game.bankState == 0 && game.exchangeState == 0 &&
                        game.parlourState[0] == 0 && game.parlourState[1] == 0 && game.parlourState[2] == 0 &&
                        (game.homeState == 0 ||
                         (game.homeState == PLACE_INSIDE && !HOME_SUMMARY_SPOT.contains(game.walkerX, game.walkerY) &&
                          !HOME_BED_SPOT.contains(game.walkerX, game.walkerY)));
    if (!atRest) return;
    const GameState before = game;
    const RandomStateWords random = RandomState;
    game.introShown = 1;
    townTick(window);
    game = before;
    RandomState = random;
}

bool startUp(const char* commandLine, int showState) {
    WindowClass windowClass;
    windowClass.name = "Main Window";
    windowClass.proc = mainWindowProc;
    windowClass.iconFile = ICON_FILE;
    windowClass.menu = &MAIN_MENU;
    if (!registerWindowClass(windowClass)) return false;
    Point screen = screenSize();
    game.mainWindow = createWindow("Main Window", "PACHINKO ろもぺ Ver1.03", (screen.x - MAIN_WINDOW_WIDTH) / 2,
                                   (screen.y - MAIN_WINDOW_HEIGHT) / 2, MAIN_WINDOW_WIDTH, MAIN_WINDOW_HEIGHT);
    if (!game.mainWindow) return false;
    showWindow(game.mainWindow, showState);
    updateWindow(game.mainWindow);
    if (!initDirectDraw(game.mainWindow, false)) return false;
    if (initDirectSound(game.mainWindow)) loadSounds();
    if (loadGame() == 1) return false;
    fillDaySchedule();
    game.tuningMode = (commandLine && (commandLine[0] == 'T' || commandLine[0] == 't')) ? 1 : 0;
    // The first picture goes on screen before the pictures it does not
    // show and the zoom steps are made: neither changes what it shows, and no
    // tick runs before they are ready.
    showFirstFrame(game.mainWindow);
    loadOtherSurfaces();
    prepareZoomSteps();
    if (game.soundOff == 0) playLooping(sndBase1);
    return true;
}

int messageLoop() {
    // A blocking loop: between its 100 ms ticks an idle game waits for the
    // next message instead of spinning a processor core.
    Message message;
    while (getMessage(message)) dispatchMessage(message);
    return static_cast<int>(message.wParam);
}

int shutDown(int quitCode) {
    if (game.soundOff == 0) stopAllSounds();
    saveGame();
    releasePresentation();
    return quitCode;
}

int winMain(const char* commandLine, int showState) {
    if (!startUp(commandLine, showState)) return 0;
    return shutDown(messageLoop());
}
