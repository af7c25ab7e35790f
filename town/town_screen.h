// The town: the screen shown whenever the player is not seated at a machine.
#pragma once

#include "platform/display.h"
#include "platform/resources.h"
#include "platform/window.h"
#include "town/town_layout.h"

// One tick of the town: backdrop, end pictures, flowers, the five doors and
// what happens inside, the exchange booth, walking, the walker, the status
// lines, the introduction on the first tick, and the picture to the window.
void townTick(platform::Window* window);

// Every step of the interiors' zooms, scaled once ahead (prepareStretch), so
// that a zooming door costs a copy. Called once the pictures are loaded.
void prepareZoomSteps();

// Copies `source` of a picture onto `target` of the town picture, stretched
// when the sizes differ; keyed pictures skip their white.
void drawTownPicture(const TownRect& target, platform::Surface* picture, const TownRect& source, bool keyed);

// Stops the walker: the walking keys held so far no longer count.
void stopWalker();

// Opens a modeless dialog owned by `owner` and shows it; its handle is kept
// in game.openDialog. The menu and the town open every dialog this way.
void openDialog(platform::Window* owner, const platform::DialogTemplate& dialogTemplate, platform::DialogProc proc);
