// Text the bank and the information dialogs write on their own client area:
// opaque grey cells, black text, the default font, client pixel positions.
#pragma once

#include <initializer_list>
#include <string>

namespace platform {
struct Window;
}  // namespace platform

struct DialogLine {
    int x;
    int y;
    std::string text;
};

// Writes the lines in order through one drawing context of the dialog.
// Writes nothing when no context can be had.
void writeDialogLines(platform::Window* dialog, std::initializer_list<DialogLine> lines);

// printf-style formatting of one line ("%10d" and the like).
std::string formatLine(const char* format, int value);
