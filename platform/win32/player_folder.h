// The folder the game plays in on Windows. The game reads its pictures,
// sounds and courses from its working folder and writes the saved game
// there, so a game installed under Program Files (which the player cannot
// write) plays in a folder of the player's own, %APPDATA%\pachinko, filled
// on first start from the installed content. No <windows.h> here: the
// program's main includes this.
#pragma once

#include <filesystem>
#include <string>

namespace platform::win32 {

// An installation is told from an unpacked portable folder by the
// uninstaller the installer puts beside the game.
inline constexpr const wchar_t* INSTALLED_MARKER = L"uninstall.exe";
// The player's folder, below the roaming application data folder.
inline constexpr const wchar_t* PLAYER_FOLDER_NAME = L"pachinko";

struct PlaceOfStart {
    std::filesystem::path working;  // the folder the game was started in
    std::filesystem::path program;  // the folder pachinko.exe lives in
    std::filesystem::path appData;  // the player's %APPDATA%
    bool programWritable = false;   // may the player write into `program`?
};

// Where to play:
// - a working folder other than the program's that holds a "tama.dat" is the
//   player's own choice and is kept (as the game does on Linux);
// - an installed game plays in appData\pachinko;
// - an unpacked portable folder plays where it is when the player may write
//   there (it stays self-contained, on a USB stick too), else in
//   appData\pachinko.
std::filesystem::path choosePlayFolder(const PlaceOfStart& start);

// Makes `folder` (and its parents) and fills it from `content`, the folder
// of the installed pictures (.bmp), sounds (.wav), help (.hlp) and courses:
// - a picture, sound or help file that is missing is copied, and so is one
//   whose installed original was written later than the copy (an update of
//   the game); a copy the player changed after the update was made stays;
// - "tama.dat", which tuning mode rewrites, is copied only when missing.
// Every copy is made under a temporary name and then renamed, so that an
// interrupted start never leaves a short file behind. False, with a message
// (UTF-8) in `error`, when the folder cannot be made or a copy fails, or the
// content has no "tama.dat".
bool preparePlayerFolder(const std::filesystem::path& content, const std::filesystem::path& folder,
                         std::string& error);

// All of the above for this process: finds the three folders, prepares the
// player's folder when that is the one chosen, and makes the chosen folder
// the working folder. A relative file name given on the command line must be
// made absolute before this is called. False, with a message in `error`,
// when the player's folder could not be prepared; the working folder is then
// left as it was.
bool enterPlayFolder(std::string& error);

}  // namespace platform::win32
