// The two data files: layout, load and save rules, and saves that never tear.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/files.h"
#include "save/save_files.h"
#include "state/game_state.h"
#include "test_support.h"

using namespace testing_support;

namespace {
PlayerRecord sample() { return PlayerRecord{5, 123456, -7, {{1, 103, 30}, {1, 2060, 30}, {0, 0, 0}}, 2, 80000, 999, 1}; }
}  // namespace

TEST(SaveFile, RoundTripAdvancesTheDayShortFilesReplaceOnlyTheirBytes) {
    GameDir dir;
    writeCourseFile("tama.dat");
    game.player = sample();
    ASSERT_EQ(saveGame(), 0);
    std::vector<uint8_t> bytes = readBytes("pachiko.dat");
    ASSERT_EQ(bytes.size(), 64u);
    // Little-endian fields at their offsets: day at 0, cash at 4, deposit -7 at 8.
    EXPECT_EQ(bytes[0], 5);
    EXPECT_EQ(bytes[4] | bytes[5] << 8 | bytes[6] << 16, 123456);
    EXPECT_EQ(bytes[8], 0xF9);
    game.player = PlayerRecord{};
    ASSERT_EQ(loadGame(), 0);
    PlayerRecord expected = sample();
    expected.day = 6;
    EXPECT_EQ(std::memcmp(&game.player, &expected, 64), 0);
    // Value i of the course file is its index: pattern 99 starts at byte 31,680.
    EXPECT_EQ(BallPathTable.pattern[99].xs[0], 31680 / 4);
    EXPECT_EQ(BallPathTable.pattern[99].ys[39], 7999);

    // A short file replaces only its bytes: 6 bytes, day = 9 and the low half of cash.
    writeBytes("pachiko.dat", {9, 0, 0, 0, 0x01, 0x02});
    ASSERT_EQ(loadGame(), 0);
    EXPECT_EQ(game.player.day, 10);
    EXPECT_EQ(game.player.cash, (123456 & ~0xFFFF) | 0x0201);
    EXPECT_EQ(game.player.deposit, -7);
    writeBytes("pachiko.dat", std::vector<uint8_t>(100, 0));  // what follows the 64 is not read
    ASSERT_EQ(loadGame(), 0);
    EXPECT_EQ(game.player.day, 1);
}

TEST(SaveFile, MissingFiles) {
    GameDir dir;
    game.player = sample();
    writeBytes("pachiko.dat", std::vector<uint8_t>(64, 0));
    // No course file: the load stops there, outside tuning mode.
    EXPECT_EQ(loadGame(), 1);
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"設定ファイル読み出しに失敗"});
    EXPECT_EQ(game.player.day, 5);
    // In tuning mode the load goes on to the player file.
    game.tuningMode = 1;
    EXPECT_EQ(loadGame(), 0);
    EXPECT_EQ(game.player.day, 1);

    // No player file: a new game, the introduction choice kept.
    std::filesystem::remove("pachiko.dat");
    game.player = sample();
    EXPECT_EQ(loadGame(), 0);
    EXPECT_EQ(boxTexts().back(), "記憶ファイル読出失敗 新規作成");
    EXPECT_EQ(game.player.day, 0);
    EXPECT_EQ(game.player.introDisabled, 1);
}

TEST(SaveFile, OnlyTuningModeSavesTheCourses) {
    GameDir dir;
    BallPathTable.pattern[7].xs[1] = 985;
    saveGame();
    EXPECT_FALSE(std::filesystem::exists("tama.dat"));
    game.tuningMode = 1;
    saveGame();
    std::vector<uint8_t> bytes = readBytes("tama.dat");
    ASSERT_EQ(bytes.size(), 32000u);
    EXPECT_EQ(bytes[7 * 320 + 4] | bytes[7 * 320 + 5] << 8, 985);
}

TEST(SaveFile, AFailedWriteLeavesTheOldFile) {
    GameDir dir;
    game.player = sample();
    ASSERT_EQ(saveGame(), 0);
    std::vector<uint8_t> before = readBytes("pachiko.dat");
    game.player.cash = 1;
    platform::failNextFileWrites(1);
    EXPECT_EQ(saveGame(), -1);
    EXPECT_EQ(readBytes("pachiko.dat"), before);
    // (That a save killed at any moment clears its temporary is the file
    // failure tests'.)
}
