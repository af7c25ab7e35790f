#include "art.h"

#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QImageWriter>

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <vector>

namespace art {

namespace {

struct RampSpec {
    double hue;         // degrees; negative = grey
    double saturation;  // 0..1
};

// Hues chosen for a night street and a pachinko board: neon reds, golds and
// pinks, wood browns, steel blues and the navy of the evening sky.
constexpr RampSpec RAMP_SPECS[RAMPS] = {
    {-1, 0},      // GREY
    {0, 0.85},    // RED
    {26, 0.92},   // ORANGE
    {43, 0.88},   // GOLD
    {56, 0.95},   // YELLOW
    {88, 0.70},   // LIME
    {128, 0.60},  // GREEN
    {168, 0.55},  // TEAL
    {188, 0.80},  // CYAN
    {206, 0.75},  // SKY
    {226, 0.80},  // BLUE
    {234, 0.38},  // NAVY
    {272, 0.55},  // VIOLET
    {308, 0.75},  // MAGENTA
    {345, 0.72},  // ROSE
    {24, 0.45},   // BROWN
};

QVector<QRgb> buildPalette() {
    QVector<QRgb> colours;
    colours.reserve(256);
    for (int r = 0; r < RAMPS; ++r) {
        for (int s = 0; s < 16; ++s) {
            if (RAMP_SPECS[r].hue < 0) {
                int v = s * 17;
                colours.push_back(qRgb(v, v, v));
                continue;
            }
            double l = 0.05 + 0.88 * s / 15.0;
            QColor c = QColor::fromHslF(static_cast<float>(RAMP_SPECS[r].hue / 360.0),
                                        static_cast<float>(RAMP_SPECS[r].saturation), static_cast<float>(l));
            colours.push_back(qRgb(c.red(), c.green(), c.blue()));
        }
    }
    return colours;
}

int distance(QRgb a, QRgb b) {
    int dr = qRed(a) - qRed(b), dg = qGreen(a) - qGreen(b), db = qBlue(a) - qBlue(b);
    return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

// Nearest palette index; each distinct colour is searched once.
struct Nearest {
    std::unordered_map<QRgb, int> cache;
    int operator()(QRgb colour) {
        colour |= 0xFF000000u;
        auto it = cache.find(colour);
        if (it != cache.end()) return it->second;
        const QVector<QRgb>& p = gamePalette();
        int best = 0, bestDistance = distance(colour, p[0]);
        for (int i = 1; i < p.size(); ++i) {
            int d = distance(colour, p[i]);
            if (d < bestDistance) {
                best = i;
                bestDistance = d;
            }
        }
        cache.emplace(colour, best);
        return best;
    }
};

bool nearWhite(QRgb c) { return qRed(c) >= 0xF8 && qGreen(c) >= 0xF8 && qBlue(c) >= 0xF8; }

}  // namespace

const QVector<QRgb>& gamePalette() {
    static const QVector<QRgb> palette = buildPalette();
    return palette;
}

QColor pal(int ramp, int shade) {
    ramp = std::clamp(ramp, 0, RAMPS - 1);
    shade = std::clamp(shade, 0, 15);
    return QColor::fromRgb(gamePalette()[ramp * 16 + shade]);
}

QImage canvas(int width, int height, QColor fill) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(fill);
    return image;
}

QImage sprite(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QImage toPaletteColours(const QImage& image) {
    QImage src = image.convertToFormat(QImage::Format_RGB32);
    const QVector<QRgb>& p = gamePalette();
    Nearest nearest;
    for (int y = 0; y < src.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(src.scanLine(y));
        for (int x = 0; x < src.width(); ++x) row[x] = p[nearest(row[x])];
    }
    return src;
}

QImage toIndexed(const QImage& image) {
    QImage src = image.convertToFormat(QImage::Format_RGB32);
    QImage out(src.size(), QImage::Format_Indexed8);
    out.setColorTable(gamePalette());
    Nearest nearest;
    for (int y = 0; y < src.height(); ++y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        uchar* row = out.scanLine(y);
        for (int x = 0; x < src.width(); ++x) row[x] = static_cast<uchar>(nearest(in[x]));
    }
    return out;
}

QImage keyed(const QImage& spriteImage) {
    QImage src = spriteImage.convertToFormat(QImage::Format_ARGB32);
    QImage out(src.size(), QImage::Format_RGB32);
    const QVector<QRgb>& p = gamePalette();
    Nearest nearest;
    for (int y = 0; y < src.height(); ++y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        QRgb* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < src.width(); ++x) {
            if (qAlpha(in[x]) < 128) {
                row[x] = KEY;
                continue;
            }
            QRgb c = p[nearest(in[x])];
            row[x] = nearWhite(c) ? HIGHLIGHT : c;
        }
    }
    return out;
}

namespace {

constexpr int SUPER = 4;

QFont makeFont(const TextStyle& style) {
    QFont font(style.family);
    font.setPixelSize(style.pixelSize * SUPER);
    font.setBold(style.bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

// Coverage of each target pixel by the glyphs, 0..1.
std::vector<float> coverage(const QSize& size, const QString& text, const TextStyle& style) {
    QImage big(size.width() * SUPER, size.height() * SUPER, QImage::Format_ARGB32_Premultiplied);
    big.fill(Qt::transparent);
    {
        QPainter p(&big);
        p.setRenderHint(QPainter::TextAntialiasing, true);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setFont(makeFont(style));
        p.setPen(Qt::black);
        p.scale(style.stretchX, 1.0);
        QRectF r(0, 0, big.width() / style.stretchX, big.height());
        // Centre on the ink, not on the font's line box: Japanese fonts
        // leave a deep descent below their glyphs.
        QFontMetricsF fm(p.font());
        QRectF ink = fm.tightBoundingRect(text);
        double x = r.center().x() - fm.horizontalAdvance(text) / 2.0;
        double y = r.center().y() - ink.center().y();
        p.drawText(QPointF(x, y), text);
    }
    std::vector<float> cover(static_cast<size_t>(size.width() * size.height()), 0.0f);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            int sum = 0;
            for (int dy = 0; dy < SUPER; ++dy) {
                const QRgb* row = reinterpret_cast<const QRgb*>(big.constScanLine(y * SUPER + dy));
                for (int dx = 0; dx < SUPER; ++dx) sum += qAlpha(row[x * SUPER + dx]);
            }
            cover[static_cast<size_t>(y * size.width() + x)] = sum / (255.0f * SUPER * SUPER);
        }
    }
    return cover;
}

void setPixel(QImage& image, int x, int y, QColor c) {
    if (x < 0 || y < 0 || x >= image.width() || y >= image.height()) return;
    if (image.format() == QImage::Format_ARGB32_Premultiplied || image.format() == QImage::Format_ARGB32)
        image.setPixel(x, y, qPremultiply(c.rgba()));
    else
        image.setPixel(x, y, c.rgb());
}

}  // namespace

int textWidth(const QString& text, const TextStyle& style) {
    QFontMetricsF fm(makeFont(style));
    return static_cast<int>(std::ceil(fm.horizontalAdvance(text) * style.stretchX / SUPER));
}

void pixelText(QImage& target, const QRect& box, const QString& text, const TextStyle& style) {
    const int w = box.width(), h = box.height();
    std::vector<float> cover = coverage(box.size(), text, style);
    std::vector<char> ink(cover.size(), 0);
    for (size_t i = 0; i < cover.size(); ++i) ink[i] = cover[i] >= style.threshold;
    auto at = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < w && y < h && ink[static_cast<size_t>(y * w + x)];
    };
    if (style.shadow.isValid()) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (at(x - 1, y - 1) && !at(x, y)) setPixel(target, box.left() + x, box.top() + y, style.shadow);
    }
    if (style.outline.isValid()) {
        const int r = style.outlineWidth;
        for (int y = -r; y < h + r; ++y) {
            for (int x = -r; x < w + r; ++x) {
                if (at(x, y)) continue;
                bool near = false;
                for (int dy = -r; dy <= r && !near; ++dy)
                    for (int dx = -r; dx <= r && !near; ++dx) near = at(x + dx, y + dy);
                if (near) setPixel(target, box.left() + x, box.top() + y, style.outline);
            }
        }
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (at(x, y)) setPixel(target, box.left() + x, box.top() + y, style.color);
}

// These write pixels directly, so they may be used while a painter is open
// on the same picture.
void fillRect(QImage& image, const QRect& r, QColor c) {
    const QRect clipped = r.intersected(image.rect());
    const bool alpha = image.hasAlphaChannel();
    const QRgb value = alpha ? qPremultiply(c.rgba()) : c.rgb();
    for (int y = clipped.top(); y <= clipped.bottom(); ++y)
        for (int x = clipped.left(); x <= clipped.right(); ++x) image.setPixel(x, y, value);
}

void frameRect(QImage& image, const QRect& r, QColor c) {
    fillRect(image, QRect(r.left(), r.top(), r.width(), 1), c);
    fillRect(image, QRect(r.left(), r.bottom(), r.width(), 1), c);
    fillRect(image, QRect(r.left(), r.top(), 1, r.height()), c);
    fillRect(image, QRect(r.right(), r.top(), 1, r.height()), c);
}

void bevel(QImage& image, const QRect& r, QColor face, QColor light, QColor dark) {
    fillRect(image, r, face);
    fillRect(image, QRect(r.left(), r.top(), r.width(), 1), light);
    fillRect(image, QRect(r.left(), r.top(), 1, r.height()), light);
    fillRect(image, QRect(r.left(), r.bottom(), r.width(), 1), dark);
    fillRect(image, QRect(r.right(), r.top(), 1, r.height()), dark);
}

void verticalBands(QImage& image, const QRect& r, const QVector<QColor>& colours) {
    if (colours.isEmpty()) return;
    const int n = static_cast<int>(colours.size());
    for (int i = 0; i < n; ++i) {
        int top = r.top() + r.height() * i / n;
        int bottom = r.top() + r.height() * (i + 1) / n;
        fillRect(image, QRect(r.left(), top, r.width(), bottom - top), colours[i]);
    }
}

void bulb(QPainter& p, QPointF centre, double radius, QColor body, QColor rim, QColor glint) {
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(rim);
    p.drawEllipse(centre, radius, radius);
    p.setBrush(body);
    p.drawEllipse(centre, radius * 0.72, radius * 0.72);
    p.setBrush(glint);
    p.drawEllipse(centre + QPointF(-radius * 0.3, -radius * 0.3), radius * 0.28, radius * 0.28);
    p.restore();
}

bool saveBmp(const QImage& image, const QString& path) {
    QImageWriter writer(path, "bmp");
    return writer.write(image);
}

}  // namespace art
