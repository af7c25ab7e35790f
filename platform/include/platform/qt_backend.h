// What the Qt backend offers beyond the window services: its options (the
// session recorder, the window's scale) and what its own tests look at. Only
// code that links the Qt backend uses this header.
#pragma once

#include <string>

class QDialog;
class QMainWindow;
class QWidget;

namespace platform {

struct Window;

QMainWindow* qtMainWindow();
QWidget* qtGameArea();
QDialog* qtDialog(Window* dialog);

// Writes every input of the session to fileName as a pachinko-headless
// script (docs/recording.md), beginning with `header` (comment lines). False
// when the file cannot be written.
bool startRecording(const std::string& fileName, const std::string& header);
// Writes what is still held back and closes the recording.
void stopRecording();

// SIGTERM, SIGHUP and SIGINT, and the desktop session manager's request to
// save at logout, end the game as its close box does: the orderly shutdown
// runs and saves. Message boxes open at that moment are answered No (or OK).
// Call once, after initApplication.
void endOnSignals();

// The game area is shown this many times larger, 1..MAX_WINDOW_SCALE, with
// sharp pixels; the pointer is mapped back to game pixels. The choice lives
// in the desktop's settings (organisation and application "pachinko"), read
// once when the window is made.
constexpr int MAX_WINDOW_SCALE = 8;
int windowScale();
// Sets the scale for this run and remembers it for the next; false when the
// value is out of range (nothing changes) or the settings cannot be written.
bool rememberWindowScale(int scale);

}  // namespace platform
