// The information dialogs: the introduction and its check box, the home
// summary, the sound setting and the about box.
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

TEST(InfoDialogs, IntroductionWritesTheRulesAndItsAuthor) {
    testing_support::GameDir dir;
    open(INTRO_DIALOG, introDialogProc);
    // Six lines of rules 20 pixels apart, the author below them on the right.
    std::vector<std::string> lines = logLines("dialog 25 text ");
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[0], "dialog 25 text 10,10 \"このゲームはパチンコゲームです。\"");
    EXPECT_EQ(lines[3].substr(0, 21), "dialog 25 text 10,70 ");
    EXPECT_EQ(lines[5], "dialog 25 text 10,110 \"きみもパチンコで大富豪になれるか！それともど貧民！\"");
    EXPECT_EQ(lines[6], "dialog 25 text 280,140 \"pachinko 開発チーム\"");
}

// The check box's choice lives in the player record, so a save carries it
// into the next run, where the box shows it ticked.
TEST(InfoDialogs, IntroductionChoiceSurvivesASave) {
    testing_support::GameDir dir;
    testing_support::writeCourseFile("tama.dat");
    newGame();
    platform::Window* intro = open(INTRO_DIALOG, introDialogProc);
    EXPECT_EQ(headless::isChecked(intro, 51), 0);
    headless::click(intro, 51);
    EXPECT_EQ(game.player.introDisabled, 1);
    // OK ends it and lets the town tick again.
    game.ticksPaused = 1;
    headless::click(intro, 41);
    EXPECT_EQ(game.ticksPaused, 0);
    ASSERT_EQ(saveGame(), 0);

    resetGameState();
    ASSERT_EQ(loadGame(), 0);
    EXPECT_EQ(game.player.introDisabled, 1);
    intro = open(INTRO_DIALOG, introDialogProc);
    EXPECT_EQ(headless::isChecked(intro, 51), 1);
    // Unticking it brings the introduction back.
    headless::click(intro, 51);
    EXPECT_EQ(game.player.introDisabled, 0);
    headless::closeDialog(intro);
    EXPECT_EQ(headless::findDialog(25), nullptr);
}

TEST(InfoDialogs, HomeSummaryShowsDepositAndLoans) {
    testing_support::GameDir dir;
    newGame();
    game.player.deposit = 123456;
    game.player.loans[0] = {1, 10299, 30};
    game.player.loanCount = 1;
    platform::Window* home = open(HOME_DIALOG, homeDialogProc);
    std::vector<std::string> lines = logLines("dialog 23 text ");
    std::vector<std::string> expected;
    const char* labels[] = {"   預金額   ",  "借金１返済額", "借金１返済日", "借金２返済額",
                            "借金２返済日", "借金３返済額", "借金３返済日"};
    const char* values[] = {"    123456", "     10299", "        30", "         0",
                            "         0", "         0", "         0"};
    for (int row = 0; row < 7; ++row) {
        std::string y = std::to_string(10 + 24 * row);
        expected.push_back("dialog 23 text 10," + y + " \"" + labels[row] + "\"");
        expected.push_back("dialog 23 text 140," + y + " \"" + values[row] + "\"");
    }
    EXPECT_EQ(lines, expected);
    game.ticksPaused = 1;
    headless::click(home, 41);
    EXPECT_EQ(game.ticksPaused, 0);
    EXPECT_EQ(headless::findDialog(23), nullptr);
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
    ASSERT_TRUE(playing(sndBase1));

    platform::Window* sound = open(SOUND_DIALOG, soundDialogProc);
    EXPECT_EQ(headless::isChecked(sound, 31), 1);
    headless::click(sound, 32);
    EXPECT_EQ(game.soundOff, 1);
    headless::closeDialog(sound);
    EXPECT_TRUE(playing(sndBase1));
    EXPECT_EQ(game.soundOff, 1);

    sound = open(SOUND_DIALOG, soundDialogProc);
    EXPECT_EQ(headless::isChecked(sound, 32), 1);
    headless::click(sound, 41);
    EXPECT_FALSE(playing(sndBase1));
    EXPECT_EQ(headless::findDialog(21), nullptr);

    // On, then OK while seated at a machine: the parlour tune.
    game.inParlour = 1;
    sound = open(SOUND_DIALOG, soundDialogProc);
    headless::click(sound, 31);
    EXPECT_EQ(game.soundOff, 0);
    headless::click(sound, 41);
    EXPECT_TRUE(playing(sndBase2));
    EXPECT_FALSE(playing(sndBase1));
}

TEST(InfoDialogs, AboutBoxClosesWithOkOrCloseBox) {
    testing_support::GameDir dir;
    headless::click(open(ABOUT_DIALOG, aboutDialogProc), 42);
    headless::closeDialog(open(ABOUT_DIALOG, aboutDialogProc));
    EXPECT_EQ(logLines("dialog end 22").size(), 2u);
    EXPECT_TRUE(logLines("dialog 22 text").empty());
}
