// Drawing helpers shared by every picture of the assets tool: the game
// palette every picture is reduced to, the white colour key, crisp pixel
// text, and a few recurring shapes.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QVector>

#include <cstdint>

namespace art {

// The pure white that keyed pictures use for transparency, and the
// brightest colour a visible pixel of a keyed picture may have. Highlights
// stay below 0xF8 in every channel so that even a 15- or 16-bit display,
// which drops the low bits, cannot mistake them for the key.
constexpr QRgb KEY = 0xFFFFFFFFu;
constexpr QRgb HIGHLIGHT = 0xFFEEEEEEu;

// The 256 colours of the game: sixteen ramps of sixteen shades (one grey,
// fifteen hues). "back1.bmp" carries them as its colour table; every other
// picture is reduced to the same colours so that the town's two frames and
// all sprites share one look on any display depth.
const QVector<QRgb>& gamePalette();

// Ramp r (0 = grey, 1.. = hues) at shade s (0 = darkest, 15 = lightest).
enum Ramp {
    GREY, RED, ORANGE, GOLD, YELLOW, LIME, GREEN, TEAL, CYAN, SKY, BLUE, NAVY, VIOLET, MAGENTA, ROSE, BROWN,
    RAMPS
};
QColor pal(int ramp, int shade);

// A new 32-bit picture filled with a colour (RGB32, no alpha).
QImage canvas(int width, int height, QColor fill);
// A new transparent picture for sprites (ARGB32 premultiplied).
QImage sprite(int width, int height);

// Every pixel replaced by the nearest palette colour; same format.
QImage toPaletteColours(const QImage& image);
// The picture as an 8-bit indexed image whose colour table is the palette.
QImage toIndexed(const QImage& image);
// Transparent sprite to a keyed picture: pixels with alpha below one half
// become the key, all others their opaque colour; then palette colours,
// with any visible pixel too close to white darkened to HIGHLIGHT.
QImage keyed(const QImage& spriteImage);

// Text drawn as crisp pixels: rendered large, then every target pixel that
// the glyphs cover by at least `threshold` takes the colour. `stretchX`
// widens the glyphs (for pictures that the game stretches unevenly).
struct TextStyle {
    QString family = QStringLiteral("IPAGothic");
    int pixelSize = 16;
    bool bold = false;
    double stretchX = 1.0;
    double threshold = 0.45;
    QColor color = Qt::black;
    QColor outline = QColor();  // invalid: no outline
    int outlineWidth = 1;
    QColor shadow = QColor();   // invalid: no drop shadow (1 px down right)
};
// Centres the text in the box.
void pixelText(QImage& target, const QRect& box, const QString& text, const TextStyle& style);
// The text's width in target pixels at this style.
int textWidth(const QString& text, const TextStyle& style);

// Small recurring shapes.
void fillRect(QImage& image, const QRect& r, QColor c);
void frameRect(QImage& image, const QRect& r, QColor c);
// A bevelled panel: light top/left edge, dark bottom/right edge.
void bevel(QImage& image, const QRect& r, QColor face, QColor light, QColor dark);
// A vertical gradient quantised into bands of whole rows.
void verticalBands(QImage& image, const QRect& r, const QVector<QColor>& colours);
// A round lamp bulb with a rim, a body and a highlight.
void bulb(QPainter& p, QPointF centre, double radius, QColor body, QColor rim, QColor glint);

// Saves as a Windows bitmap (24-bit, or 8-bit with the colour table for an
// indexed image). Returns false on failure.
bool saveBmp(const QImage& image, const QString& path);

}  // namespace art
