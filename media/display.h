// The display objects and the three drawing primitives every screen uses.
//
// A screen draws only inside its paint, in this order (the frame cycle):
//   platform::beginPaint(window);
//   if (frameSurface) {
//       drawBackground(surfBack1);             // restores lost surfaces
//       blitToFrame(dst, surfTama, src, true); // the screen's pictures...
//       if (beginFrameText(textColour, backColour)) {
//           drawFrameText(x, y, "...");        // ...its lines of text
//           endFrameText();
//       }
//       presentFrame(window);
//   }
//   platform::endPaint(window);
// Colours are GDI colour values 0x00BBGGRR; texts are UTF-8.
#pragma once

#include <cstdint>

#include "platform/display.h"

namespace platform {
struct Window;
}

// The display objects: null while absent, set up once by initDirectDraw and
// released once by releasePresentation.
extern platform::Display* ddraw;
extern platform::Surface* primarySurface;  // the window's game area; target of presentFrame only
extern platform::Surface* frameSurface;    // 640 × 480 composition buffer of every screen
extern platform::Clipper* windowClipper;
extern platform::Palette* gamePalette;     // from the colour table of "back1.bmp"
// The drawing context of frameSurface while a text group is open, else null.
extern platform::DrawContext* frameTextContext;

constexpr int FRAME_WIDTH = 640;
constexpr int FRAME_HEIGHT = 480;
// The part of frameSurface that is ever shown.
constexpr platform::Rect gameArea = {0, 0, 640, 416};

// Creates the device, the primary and frame surfaces and the clipper, then
// loads the palette and the 37 pictures (loadSurfaces). False when the device
// or either surface cannot be made; whatever was made is released first and
// its pointer is null again.
// With allPictures false only the pictures of the first screen are loaded
// (loadFirstScreenSurfaces); loadOtherSurfaces must follow before any tick.
bool initDirectDraw(platform::Window* window, bool allPictures = true);

// Releases the sound buffers and the sound device, then the 37 pictures
// (surfLamp4 first), the palette, the clipper, frameSurface, primarySurface
// and the device. Every pointer is null afterwards. Always true.
bool releasePresentation();

// One picture into frameSurface: src of the picture onto dst, scaled when the
// sizes differ, skipping the picture's colour-key pixels when keyed. A blit
// not wholly inside both surfaces, or with an empty rectangle, draws nothing.
// Does nothing (DDERR_INVALIDOBJECT) while frameSurface or the picture is
// absent. Returns the blit's result.
platform::DisplayResult blitToFrame(const platform::Rect& dst, platform::Surface* picture,
                                    const platform::Rect& src, bool keyed);

// A stretch the screens draw often (the town's zooming interiors), made once
// ahead into a surface of its own: blitToFrame of that picture, source and
// size, opaque, then copies the made pixels instead of scaling again. They are
// the very pixels the scaling gives. Made again by restoreSurfaces, released
// by releasePresentation. False when it cannot be made (blitToFrame then
// scales as before).
bool prepareStretch(platform::Surface* picture, const platform::Rect& src, int width, int height);
// Restores the prepared stretches' surfaces and makes them again; false when
// one could not be made (that one is scaled at every blit until then).
bool remakePreparedStretches();

// The background blit that opens a paint: the picture's gameArea onto
// frameSurface's, opaque. When it reports a lost surface every surface is
// restored (restoreSurfaces) and the paint goes on; the background is not
// drawn again in this paint. Returns the blit's result.
platform::DisplayResult drawBackground(platform::Surface* picture);

// The text of one paint, as one group. beginFrameText takes frameSurface's
// drawing context and sets the colours; false (no text in this paint, nothing
// reported) when the context cannot be had. drawFrameText draws one line with
// its top-left corner at (x, y) on an opaque cell of the background colour;
// it does nothing outside a group. endFrameText gives the context back.
bool beginFrameText(uint32_t textColour, uint32_t backColour);
void drawFrameText(int x, int y, const char* text);
void drawFrameText(int x, int y, const char* text, int byteLength);
void endFrameText();

// Shows the game area: frameSurface's gameArea onto primarySurface at the
// window's client origin. The result is not looked at.
void presentFrame(platform::Window* window);

// The palette message: sets gamePalette on primarySurface again and reloads
// "my1.bmp" into surfMy1. Does nothing while there is no palette.
void realizePalette();
