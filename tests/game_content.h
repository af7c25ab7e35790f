// The generated game content (pictures, sounds, courses) copied into a test's
// folder, for tests that play the real game.
#pragma once

#include <filesystem>
#include <string>

namespace gamecontent {

// Copies every picture and sound of the built game, and its "tama.dat", into
// the folder; names in `leaveOut` are not copied.
inline void copyInto(const std::filesystem::path& to, const std::string& leaveOut = "") {
    namespace fs = std::filesystem;
    for (const auto& entry : fs::directory_iterator(PACHINKO_GAME_DIR)) {
        const fs::path name = entry.path().filename();
        const bool wanted = name.extension() == ".bmp" || name.extension() == ".wav" || name == "tama.dat";
        if (!wanted || name == leaveOut) continue;
        // Removed first: MinGW's copy_file takes every existing file for the
        // source itself and refuses to overwrite it.
        fs::remove(to / name);
        fs::copy_file(entry.path(), to / name);
    }
}

}  // namespace gamecontent
