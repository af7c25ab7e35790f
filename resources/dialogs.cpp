#include "resources/resources.h"

namespace {

using platform::ControlKind;
using platform::ControlTemplate;

constexpr const char* DIALOG_FONT = "ＭＳ Ｐゴシック";

constexpr ControlTemplate SOUND_CONTROLS[] = {
    {ControlKind::Label, "サウンド", -1, 16, 8, 40, 8},
    {ControlKind::Radio, "On", 31, 12, 24, 28, 12},
    {ControlKind::Radio, "Off", 32, 12, 36, 28, 12},
    {ControlKind::PushButton, "OK", 41, 4, 56, 52, 12},
};

// The about box: the program's name and version, when it was built, what it
// runs on, and who made it. The build date is that of this file's compile.
#if defined(_WIN32)
constexpr const char* RUNS_ON[] = {"C++20 / Windows", "Win32 / GDI", "DirectSound"};
#elif defined(__EMSCRIPTEN__)
constexpr const char* RUNS_ON[] = {"C++20 / WebAssembly", "HTML / Canvas", "Web Audio"};
#else
constexpr const char* RUNS_ON[] = {"C++20 / Linux", "Qt 6", "OpenAL Soft"};
#endif
constexpr ControlTemplate ABOUT_CONTROLS[] = {
    {ControlKind::Icon, "", -1, 52, 12, 20, 20},
    {ControlKind::Frame, "", -1, 0, 44, 120, 76},
    {ControlKind::Label, "pachinko Ver " PACHINKO_VERSION, -1, 8, 48, 108, 8},
    {ControlKind::Label, "ビルド日 " __DATE__, -1, 16, 60, 100, 8},
    {ControlKind::Label, RUNS_ON[0], -1, 16, 68, 100, 8},
    {ControlKind::Label, RUNS_ON[1], -1, 16, 76, 100, 8},
    {ControlKind::Label, RUNS_ON[2], -1, 16, 84, 100, 8},
    {ControlKind::Label, "作: pachinko 開発チーム", -1, 16, 96, 100, 8},
    {ControlKind::Label, "遊び方はヘルプで", -1, 4, 108, 112, 8},
    {ControlKind::PushButton, "ＯＫ", 42, 40, 124, 40, 16},
};

constexpr ControlTemplate HOME_CONTROLS[] = {
    {ControlKind::PushButton, "出る", 41, 48, 144, 52, 16},
};

constexpr ControlTemplate BANK_CONTROLS[] = {
    {ControlKind::Edit, "", 61, 44, 24, 36, 16},
    {ControlKind::Label, "金額", -1, 16, 28, 24, 8},
    {ControlKind::PushButton, "決定", 42, 104, 24, 52, 16},
    {ControlKind::PushButton, "終了", 41, 56, 144, 52, 16},
};

constexpr ControlTemplate INTRO_CONTROLS[] = {
    {ControlKind::PushButton, "OK", 41, 172, 116, 50, 14},
    {ControlKind::CheckBox, "起動時この画面を表示しない", 51, 20, 116, 104, 12},
};

}  // namespace

const platform::DialogTemplate SOUND_DIALOG = {DIALOG_SOUND, "音設定", 66, 71, false, DIALOG_FONT, 9, SOUND_CONTROLS, 4};
const platform::DialogTemplate ABOUT_DIALOG = {DIALOG_ABOUT, "このソフトについて", 120, 145, false, DIALOG_FONT, 9,
                                               ABOUT_CONTROLS, 10};
const platform::DialogTemplate HOME_DIALOG = {DIALOG_HOME, "HOME", 146, 165, false, DIALOG_FONT, 9, HOME_CONTROLS, 1};
const platform::DialogTemplate BANK_DIALOG = {DIALOG_BANK, "銀行", 165, 164, true, DIALOG_FONT, 9, BANK_CONTROLS, 4};
const platform::DialogTemplate INTRO_DIALOG = {DIALOG_INTRO, "パチンコゲーム ろもぺ", 255, 133, true, DIALOG_FONT, 9,
                                               INTRO_CONTROLS, 2};
