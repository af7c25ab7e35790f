#include "resources/resources.h"

namespace {

using platform::MenuItemTemplate;
using platform::MenuPopupTemplate;

constexpr MenuItemTemplate GAME_ITEMS[] = {
    {"新規開始(&S)", CMD_NEW},
    {"書き込み(K)", CMD_SAVE},
    {"読み出し(Y)", CMD_LOAD},
    {"終了(&X)", CMD_EXIT},
};
constexpr MenuItemTemplate SETTINGS_ITEMS[] = {
    {"サウンド(&P)", CMD_SOUND},
};
constexpr MenuItemTemplate HELP_ITEMS[] = {
    {"はじめに(&I)", CMD_INTRO},
    {"ﾍﾙﾌﾟ(&W)", CMD_HELP},
    {nullptr, 0},
    {"ﾄﾗﾌﾞﾙ(&T)", CMD_TROUBLE},
    {nullptr, 0},
    {"このソフトについて(S)", CMD_ABOUT},
};
constexpr MenuPopupTemplate POPUPS[] = {
    {"ｹﾞｰﾑ(&G)", GAME_ITEMS, 4},
    {"設定(&E)", SETTINGS_ITEMS, 1},
    {"ﾍﾙﾌﾟ(&H)", HELP_ITEMS, 6},
};

}  // namespace

const platform::MenuTemplate MAIN_MENU = {1, POPUPS, 3};
