#include "town/info_dialogs.h"

#include "media/sound.h"
#include "platform/window.h"
#include "state/game_state.h"

namespace {

using namespace platform;

constexpr uint32_t ID_OK = 41;
constexpr uint32_t ID_ABOUT_OK = 42;
constexpr uint32_t ID_SOUND_ON = 31;
constexpr uint32_t ID_SOUND_OFF = 32;
constexpr uint32_t ID_INTRO_HIDE = 51;

bool isClose(uint32_t control) { return control == static_cast<uint32_t>(IDCANCEL); }

}  // namespace

int32_t introDialogProc(Window* dialog, uint32_t message, uint32_t wParam, uint32_t) {
    if (message == MSG_INITDIALOG) {
        if (game.player.introDisabled == 1) checkDialogButton(dialog, ID_INTRO_HIDE, 1);
        return 1;
    }
    if (message != MSG_COMMAND) return 0;
    uint32_t control = wParam & 0xFFFFu;
    if (control == ID_INTRO_HIDE) {
        game.player.introDisabled = game.player.introDisabled == 0 ? 1 : 0;
    } else if (control == ID_OK || isClose(control)) {
        endDialog(dialog, 1);
        game.ticksPaused = 0;
    }
    return 1;
}

int32_t homeDialogProc(Window* dialog, uint32_t message, uint32_t wParam, uint32_t) {
    if (message == MSG_INITDIALOG) return 1;
    if (message != MSG_COMMAND) return 0;
    uint32_t control = wParam & 0xFFFFu;
    if (control == ID_OK || isClose(control)) {
        endDialog(dialog, 1);
        game.ticksPaused = 0;
    }
    return 1;
}

int32_t soundDialogProc(Window* dialog, uint32_t message, uint32_t wParam, uint32_t) {
    if (message == MSG_INITDIALOG) {
        checkRadioButton(dialog, ID_SOUND_ON, ID_SOUND_OFF, game.soundOff ? ID_SOUND_OFF : ID_SOUND_ON);
        return 1;
    }
    if (message != MSG_COMMAND) return 0;
    uint32_t control = wParam & 0xFFFFu;
    if (control == ID_SOUND_ON) {
        game.soundOff = 0;
    } else if (control == ID_SOUND_OFF) {
        game.soundOff = 1;
    } else if (control == ID_OK) {
        if (game.soundOff)
            stopAllSounds();
        else
            playLooping(game.inParlour ? sndBase2 : sndBase1);
        endDialog(dialog, 1);
    } else if (isClose(control)) {
        endDialog(dialog, 1);
    }
    return 1;
}

int32_t aboutDialogProc(Window* dialog, uint32_t message, uint32_t wParam, uint32_t) {
    if (message == MSG_INITDIALOG) return 1;
    if (message != MSG_COMMAND) return 0;
    uint32_t control = wParam & 0xFFFFu;
    if (control == ID_ABOUT_OK || isClose(control)) endDialog(dialog, 1);
    return 1;
}
