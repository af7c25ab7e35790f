#include "town/dialog_text.h"

#include <cstdio>

#include "platform/display.h"
#include "platform/window.h"

namespace {
constexpr uint32_t DIALOG_GREY = 0xC0C0C0;  // (192, 192, 192)
constexpr uint32_t DIALOG_BLACK = 0x000000;
}  // namespace

void writeDialogLines(platform::Window* dialog, std::initializer_list<DialogLine> lines) {
    platform::DrawContext* context = platform::getWindowDC(dialog);
    if (!context) return;
    platform::setBkColor(context, DIALOG_GREY);
    platform::setTextColor(context, DIALOG_BLACK);
    for (const DialogLine& line : lines)
        platform::textOut(context, line.x, line.y, line.text.c_str(), static_cast<int>(line.text.size()));
    platform::releaseWindowDC(dialog, context);
}

std::string formatLine(const char* format, int value) {
    char buffer[128];
    int length = std::snprintf(buffer, sizeof buffer, format, value);
    if (length < 0) return std::string();
    return std::string(buffer, static_cast<std::size_t>(length) < sizeof buffer ? static_cast<std::size_t>(length)
                                                                               : sizeof buffer - 1);
}
