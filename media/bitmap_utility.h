// Bitmaps into display objects: a bitmap into a new surface or again into an
// existing one, a bitmap into a packed-YUV surface, a palette from a bitmap's
// colour table, and the pixel value a colour takes on a surface. They keep no
// state; every bitmap and context they open is released before they return.
#pragma once

#include <cstdint>

#include "platform/display.h"

// The bitmap of that name: the program's resources first (there are none),
// then the file relative to the working directory. Null when neither has it.
platform::Bitmap* loadNamedBitmap(const char* name);

// A new offscreen surface exactly as large as the bitmap, holding it. The
// format is the display's unless one is handed in. Null when the device or
// name is missing, the bitmap is not found or the surface cannot be made.
platform::Surface* loadBitmapSurface(platform::Display* display, const char* name, const platform::PixelFormat* format);

// The same from a bitmap already loaded, which stays the caller's.
platform::Surface* bitmapSurface(platform::Display* display, platform::Bitmap* bitmap,
                                 const platform::PixelFormat* format);

// Loads the bitmap again into an existing surface (after a surface loss),
// from its top-left corner; does nothing when the bitmap is not found.
void reloadBitmap(platform::Surface* surface, const char* name);

// Copies the bitmap one to one into the surface at (x, y); a width or height
// of 0 means the bitmap's own. Packed-YUV surfaces are converted instead.
// Returns the result of getting the surface's drawing context (DD_OK when
// copied); a surface it cannot draw on is left as it was.
platform::DisplayResult copyBitmap(platform::Surface* surface, platform::Bitmap* bitmap, int x, int y, int width,
                                   int height);

// Converts the bitmap into a "UYVY" or "YUY2" surface, two pixels at a time
// (U from the first pixel of a pair, V from the second). Pixels outside the
// bitmap read as white. False only when the surface cannot be locked; true
// also for any other format, which is left unwritten.
bool copyBitmapToYuv(platform::Surface* surface, platform::Bitmap* bitmap);

// A 256-entry palette from the colour table of the bitmap handed in, or else
// of the named bitmap; entries the table does not fill are black. Null when
// the bitmap is not found or the palette cannot be made.
platform::Palette* loadBitmapPalette(platform::Display* display, const char* name, platform::Bitmap* bitmap);

// The surface's pixel value for a GDI colour (0x00BBGGRR), measured by
// writing the colour into pixel (0, 0) and reading the memory back; the pixel
// is put back afterwards. 0 when the surface cannot be measured.
uint32_t matchColor(platform::Surface* surface, uint32_t colour);
// The same, telling whether the measurement succeeded.
bool measureColor(platform::Surface* surface, uint32_t colour, uint32_t& value);
