#include "town/info_dialogs.h"

#include "media/sound.h"
#include "platform/window.h"
#include "state/game_state.h"
#include "town/dialog_text.h"

namespace {

using namespace platform;

constexpr uint32_t ID_OK = 41;
constexpr uint32_t ID_ABOUT_OK = 42;
constexpr uint32_t ID_SOUND_ON = 31;
constexpr uint32_t ID_SOUND_OFF = 32;
constexpr uint32_t ID_INTRO_HIDE = 51;

bool isClose(uint32_t control) { return control == static_cast<uint32_t>(IDCANCEL); }

// The rules of the game, and who made this one.
void paintIntroduction(Window* dialog) {
    writeDialogLines(dialog, {
                                 {10, 10, "このゲームはパチンコゲームです。"},
                                 {10, 30, "パチンコ店や台によって入る台入らない台があります"},
                                 {10, 50, "良く選んでパチンコをしてください"},
                                 {10, 70, "預金と持ち金が３億円になれば大富豪でゲーム終了"},
                                 {10, 90, "借金３回・持ち金預金なし・玉も無ければ破産で終了"},
                                 {10, 110, "きみもパチンコで大富豪になれるか！それともど貧民！"},
                                 {280, 140, "pachinko 開発チーム"},
                             });
}

// The deposit and the three loan slots, one row each 24 pixels apart.
void paintHomeSummary(Window* dialog) {
    const PlayerRecord& p = game.player;
    writeDialogLines(dialog, {
                                 {10, 10, "   預金額   "},
                                 {140, 10, formatLine("%10d", p.deposit)},
                                 {10, 34, "借金１返済額"},
                                 {140, 34, formatLine("%10d", p.loans[0].amountDue)},
                                 {10, 58, "借金１返済日"},
                                 {140, 58, formatLine("%10d", p.loans[0].dueDay)},
                                 {10, 82, "借金２返済額"},
                                 {140, 82, formatLine("%10d", p.loans[1].amountDue)},
                                 {10, 106, "借金２返済日"},
                                 {140, 106, formatLine("%10d", p.loans[1].dueDay)},
                                 {10, 130, "借金３返済額"},
                                 {140, 130, formatLine("%10d", p.loans[2].amountDue)},
                                 {10, 154, "借金３返済日"},
                                 {140, 154, formatLine("%10d", p.loans[2].dueDay)},
                             });
}

}  // namespace

int32_t introDialogProc(Window* dialog, uint32_t message, uint32_t wParam, uint32_t) {
    if (message == MSG_INITDIALOG) {
        if (game.player.introDisabled == 1) checkDialogButton(dialog, ID_INTRO_HIDE, 1);
        return 1;
    }
    if (message == MSG_PAINT) {
        paintIntroduction(dialog);
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
    if (message == MSG_PAINT) {
        paintHomeSummary(dialog);
        return 1;
    }
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
