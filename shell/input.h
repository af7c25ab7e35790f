// Keyboard and mouse: the routines only record what happened in the game
// state; the next tick acts on it.
#pragma once

#include <cstdint>

void onKeyDown(uint32_t key);
void onKeyUp(uint32_t key);
void onLeftButtonDown(int x, int y);
void onLeftButtonUp(int x, int y);
void onRightButtonDown(int x, int y);
void onMouseMove(int x, int y);
