// The program's frame: start-up, the main window's procedure, the tick and
// its dispatch to the screens, the closing-time rule, the menu commands and
// shutdown.
#pragma once

#include <cstdint>

namespace platform {
struct Window;
}

constexpr int32_t CLOSING_TICKS = 72000;
constexpr int MAIN_WINDOW_WIDTH = 640;
constexpr int MAIN_WINDOW_HEIGHT = 460;
constexpr uint32_t TICK_TIMER = 1;
constexpr int TICK_PERIOD_MS = 100;

// The program: command line without the program name, the show state.
// Returns the exit code.
int winMain(const char* commandLine, int showState);

// Start-up up to the message loop; false when start-up ended the program.
bool startUp(const char* commandLine, int showState);
// The message loop; returns the quit code.
int messageLoop();
// Shutdown after the loop; returns the exit code.
int shutDown(int quitCode);

int32_t mainWindowProc(platform::Window* window, uint32_t message, uint32_t wParam, uint32_t lParam);

// One tick (the paint message).
void paintTick(platform::Window* window);
void closingTimeRule(platform::Window* window);
void runMenuCommand(platform::Window* window, uint32_t commandId);
// Greys or enables the items of the pop-up about to open.
void menuEnableRule(uint32_t popup);
