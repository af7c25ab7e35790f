// What the Windows backend offers beyond the window services: its options
// (the session recorder, the window's scale) and the end of the Windows
// session. Only pachinko.exe's own start-up uses this header; it names no
// Windows type, so it never drags the system's macros into game code.
#pragma once

#include <string>

namespace platform {

// Writes every input of the session to fileName as a pachinko-headless
// script (docs/recording.md), beginning with `header` (comment lines). False
// when the file cannot be written.
bool startRecording(const std::string& fileName, const std::string& header);
void stopRecording();

// The game area is shown this many times larger, 1..MAX_WINDOW_SCALE, with
// sharp pixels. Unless a scale was chosen, it follows the screen's DPI: the
// whole multiple nearest to DPI / 96 that still fits the screen. A chosen
// scale lives in the registry (HKEY_CURRENT_USER\Software\pachinko).
constexpr int MAX_WINDOW_SCALE = 8;
int windowScale();
// Sets the scale for this run and remembers it for the next; false when the
// value is out of range (nothing changes) or it cannot be remembered.
bool rememberWindowScale(int scale);

// When Windows ends the session, the process may be gone right after the
// window has answered: the game gets the close message as from the close box
// and, once it has asked to quit, this handler runs the shutdown (saving the
// game) before the window answers. It receives the quit code.
using SessionEndHandler = int (*)(int quitCode);
void setSessionEndHandler(SessionEndHandler handler);

}  // namespace platform
