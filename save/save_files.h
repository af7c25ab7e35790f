// The two data files: "pachiko.dat" (the player record, 64 bytes) and
// "tama.dat" (the ball course table, 32,000 bytes), little-endian images of
// their records with no header.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr const char* PLAYER_FILE = "pachiko.dat";
constexpr const char* COURSE_FILE = "tama.dat";
constexpr std::size_t PLAYER_FILE_SIZE = 64;
constexpr std::size_t COURSE_FILE_SIZE = 32000;

// Loads "tama.dat" then "pachiko.dat" (advancing the day by one), or starts a
// new game when there is no saved game. 1 when "tama.dat" cannot be opened
// outside tuning mode (nothing else is read then), else 0.
int loadGame();

// Writes "pachiko.dat" (and "tama.dat" in tuning mode). 0 when the player
// record was written, −1 when it could not be; a failed write never damages
// the file that was there before.
int saveGame();

