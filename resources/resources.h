// The program's resources: the main window's menu, the dialog templates and
// the icon. Texts are the game's own, as UTF-8.
#pragma once

#include "platform/resources.h"

// Menu command ids.
enum MenuCommand : uint32_t {
    CMD_NEW = 10,
    CMD_EXIT = 11,
    CMD_SOUND = 12,
    CMD_HELP = 13,
    CMD_ABOUT = 14,
    CMD_SAVE = 15,
    CMD_LOAD = 16,
    CMD_TROUBLE = 17,
    CMD_INTRO = 18,
};

// Dialog template ids.
enum DialogId {
    DIALOG_SOUND = 21,
    DIALOG_ABOUT = 22,
    DIALOG_HOME = 23,
    DIALOG_BANK = 24,
    DIALOG_INTRO = 25,
};

extern const platform::MenuTemplate MAIN_MENU;  // menu resource 1

extern const platform::DialogTemplate SOUND_DIALOG;
extern const platform::DialogTemplate ABOUT_DIALOG;
extern const platform::DialogTemplate HOME_DIALOG;
extern const platform::DialogTemplate BANK_DIALOG;
extern const platform::DialogTemplate INTRO_DIALOG;

// The program icon (resource 101), a picture file beside the program.
constexpr const char* ICON_FILE = "pachinko.png";
