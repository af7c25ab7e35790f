// What the shared platform core asks of the system it runs on: reading BMP
// pictures, drawing text in the default font and writing PNG screenshots.
// The core (surfaces, blits, contexts, files) is plain C++; each build links
// exactly one library that defines these functions: Qt's on Linux (used by
// the real window and the headless runner alike), Windows' own on Windows,
// the browser's on the web. Game code never includes this header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform::services {

// --- pictures --------------------------------------------------------------
struct DecodedPicture {
    int32_t width = 0;
    int32_t height = 0;
    int32_t bitsPerPixel = 0;          // as the file states it
    std::vector<uint32_t> pixels;      // 0x00RRGGBB, top row first
    std::vector<uint32_t> colorTable;  // 0x00RRGGBB; filled only for files of 8 bits per pixel or fewer
};
// Decodes a whole BMP file (every variant the system reads: 1/4/8/16/24/32
// bits, RLE, top-down). `bytes` are the file's contents, already read and
// size-checked by the core; `path` (UTF-8) is the file they came from, for a
// system whose decoder reads files itself. False when the file is not a
// picture the system can read; `out` is then unspecified.
bool decodeBmp(const std::string& path, const uint8_t* bytes, std::size_t size, DecodedPicture& out);

// --- text ------------------------------------------------------------------
// Makes ready whatever the system needs before the first text is measured or
// drawn (Qt needs an application object). Safe to call any number of times.
void prepareText();

struct FontMetrics {
    int ascent = 0;  // baseline below the cell's top, pixels
    int height = 0;  // the cell's height, pixels
};
// The default font: a Japanese Gothic face at 16 pixels, drawn without
// smoothing, so every pixel of a text cell is the ink or the background.
FontMetrics defaultFontMetrics();

// Width in pixels of one line of text in the default font.
int textAdvance(const std::u16string& text);

// Draws one line of text into 32-bit XRGB pixels (`strideWords` words from one
// row to the next): the cell from (x, y), textAdvance(text) wide and
// defaultFontMetrics().height high, cut at the buffer's edges, is filled with
// `backXrgb`, then the glyphs are drawn in `inkXrgb` with the baseline at
// y + ascent. Pixels outside the cell are left alone; the top byte of every
// pixel written is zero.
void drawText(uint32_t* pixels, int width, int height, int strideWords, int x, int y, const std::u16string& text,
              uint32_t inkXrgb, uint32_t backXrgb);

// --- screenshots -----------------------------------------------------------
// Writes 32-bit XRGB pixels (top row first, `width` words per row) as an
// opaque RGB PNG file. False when the file cannot be written.
bool writePng(const std::string& path, const uint32_t* pixels, int width, int height);

}  // namespace platform::services
