// The day's end at the bed, the exchange booth, and the pictures of the
// game's two ends. All three run inside the town tick.
#pragma once

#include <cstdint>

namespace platform {
struct Window;
}

constexpr int32_t EXCHANGE_RATE = 4;  // yen per ball

// The booth's part of the town tick. Stepping on the booth while every place
// with a door is idle starts it; it asks, shows the ball count, pays one tick
// apart, then waits for the walker to step off. Its message boxes are owned
// by `window` (the main window) and pause the ticks while they are open.
void exchangeStep(platform::Window* window);

// The tycoon or bankruptcy picture over the idle town; nothing while any
// place (the booth included) is busy.
void endPicturesStep();

// The bed's question. Yes ends the program by destroying `window`; anything
// else starts the next day. promptGuard is set while the box is open.
void endOfDayPrompt(platform::Window* window);

// What the booth pays for the balls held: balls × EXCHANGE_RATE, but never
// more than lets cash reach INT32_MAX (whole balls only), and nothing for a
// negative count. Moves the money and the balls; returns the yen paid (more
// than INT32_MAX when the cash was deep in debt).
int64_t exchangeBalls();
