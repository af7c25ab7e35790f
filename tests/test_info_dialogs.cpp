// The information dialogs: the introduction and its check box, the home
// summary and the sound setting. (The about box has nothing of its own to
// check; 終了 of the introduction letting the town tick again is the
// end-to-end day's, which walks on after it.)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "media/sound.h"
#include "platform/headless.h"
#include "platform/window.h"
#include "resources/resources.h"
#include "save/save_files.h"
#include "state/game_state.h"
#include "test_support.h"
#include "town/info_dialogs.h"
#include "wav_fixture.h"

using testing_support::logLines;

namespace {

platform::Window* open(const platform::DialogTemplate& dialogTemplate, platform::DialogProc proc) {
    platform::Window* dialog = platform::createDialog(dialogTemplate, nullptr, proc);
    platform::showDialog(dialog);
    return dialog;
}

}  // namespace

// Six lines of rules 20 pixels apart, the author below them on the right.
// The check box's choice lives in the player record, so a save carries it
// into the next run, where the box shows it ticked.
TEST(InfoDialogs, IntroductionRulesAndAChoiceThatSurvivesASave) {
    testing_support::GameDir dir;
    testing_support::writeCourseFile("tama.dat");
    newGame();
    platform::Window* intro = open(INTRO_DIALOG, introDialogProc);
    std::vector<std::string> lines = logLines("dialog 25 text ");
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[0], "dialog 25 text 10,10 \"このゲームはパチンコゲームです。\"");
    EXPECT_EQ(lines[6], "dialog 25 text 280,140 \"pachinko 開発チーム\"");

    headless::click(intro, 51);
    headless::click(intro, 41);
    ASSERT_EQ(saveGame(), 0);
    resetGameState();
    ASSERT_EQ(loadGame(), 0);
    EXPECT_EQ(headless::isChecked(open(INTRO_DIALOG, introDialogProc), 51), 1);
}

// Label and value per row, 24 pixels apart; the values right-aligned in ten places.
TEST(InfoDialogs, HomeSummaryShowsDepositAndLoans) {
    testing_support::GameDir dir;
    newGame();
    game.player.deposit = 123456;
    game.player.loans[0] = {1, 10299, 30};
    game.player.loanCount = 1;
    open(HOME_DIALOG, homeDialogProc);
    std::vector<std::string> lines = logLines("dialog 23 text ");
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_EQ(lines[1], "dialog 23 text 140,10 \"    123456\"");
    EXPECT_EQ(lines[2], "dialog 23 text 10,34 \"借金１返済額\"");
    EXPECT_EQ(lines[3], "dialog 23 text 140,34 \"     10299\"");
}

// OK applies the choice to the music; the close box only keeps the choice.
TEST(InfoDialogs, SoundSettingOkVersusCloseBox) {
    testing_support::GameDir dir;
    for (const char* name : {"base1.wav", "base2.wav", "open.wav", "tamade.wav"})
        wav_fixture::save(name, wav_fixture::pcmFile(wav_fixture::Bytes(400, 0x40), 1, 8000, 8));
    ASSERT_TRUE(initDirectSound(nullptr));
    ASSERT_TRUE(loadSounds());
    auto playing = [](platform::SoundBuffer* buffer) {
        platform::SoundBufferInfo info;
        return platform::soundBufferInfo(buffer, info) && info.playing;
    };
    playLooping(sndBase1);
    platform::Window* sound = open(SOUND_DIALOG, soundDialogProc);
    headless::click(sound, 32);
    headless::closeDialog(sound);
    EXPECT_TRUE(playing(sndBase1));

    sound = open(SOUND_DIALOG, soundDialogProc);
    EXPECT_EQ(headless::isChecked(sound, 32), 1);
    headless::click(sound, 41);
    EXPECT_FALSE(playing(sndBase1));
}
