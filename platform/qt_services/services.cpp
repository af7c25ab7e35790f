// The core's services from Qt GUI: BMP files by Qt's BMP reader, text in
// IPAGothic without smoothing, screenshots by Qt's PNG writer. The headless
// backend runs them on Qt's "offscreen" platform; the Qt window makes its own
// application object first.
#include "platform/services.h"

#include <QBuffer>
#include <QByteArray>
#include <QCoreApplication>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QList>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <memory>

namespace platform::services {
namespace {

// Fits the 18-pixel line pitch of the town's status lines.
constexpr int DEFAULT_FONT_PIXELS = 16;

struct TextState {
    // The arguments of our own application object live as long as it does.
    int argc = 3;
    char arg0[9] = "pachinko";
    char arg1[10] = "-platform";
    char arg2[10] = "offscreen";
    char* argv[4] = {arg0, arg1, arg2, nullptr};
    QGuiApplication* application = nullptr;  // ours, never destroyed
    std::unique_ptr<QFont> font;
    FontMetrics metrics;
};
TextState textState;

const QFont& defaultFont() {
    prepareText();
    if (!textState.font) {
        textState.font = std::make_unique<QFont>(QStringLiteral("IPAGothic"));
        textState.font->setPixelSize(DEFAULT_FONT_PIXELS);
        textState.font->setStyleStrategy(QFont::NoAntialias);
        const QFontMetrics metrics(*textState.font);
        textState.metrics.ascent = metrics.ascent();
        textState.metrics.height = metrics.height();
    }
    return *textState.font;
}

QString toQString(const std::u16string& text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

QColor toQColor(uint32_t xrgb) { return QColor((xrgb >> 16) & 0xFF, (xrgb >> 8) & 0xFF, xrgb & 0xFF); }

uint32_t readLe(const uint8_t* bytes, std::size_t offset, int size) {
    uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i) v = (v << 8) | bytes[offset + static_cast<std::size_t>(i)];
    return v;
}

}  // namespace

bool decodeBmp(const std::string& path, const uint8_t* bytes, std::size_t size, DecodedPicture& out) {
    if (!bytes || size < 30) return false;
    const uint32_t headerSize = readLe(bytes, 14, 4);
    const int bits = static_cast<int>(headerSize == 12 ? readLe(bytes, 24, 2) : readLe(bytes, 28, 2));
    QBuffer file;
    file.setData(QByteArray::fromRawData(reinterpret_cast<const char*>(bytes), static_cast<qsizetype>(size)));
    if (!file.open(QIODevice::ReadOnly)) return false;
    QImageReader reader(&file, "BMP");
    // Each big picture passes through fresh memory a megabyte at a time, and
    // on first touch that memory is most of start-up's cost. So a true-colour
    // picture is read straight into the pixels (Qt's reader fills an image of
    // the right size and format in place), and an 8-bit one is looked up
    // into them, without a converted copy in between. Straight in only when
    // the file holds at least two bytes a pixel: a header alone never makes
    // us set aside memory.
    const QSize dimensions = reader.size();
    const auto area = static_cast<std::size_t>(std::max(dimensions.width(), 0)) *
                      static_cast<std::size_t>(std::max(dimensions.height(), 0));
    QImage image;
    if (reader.imageFormat() == QImage::Format_RGB32 && area > 0 && area <= size / 2) {
        out.pixels.assign(area, 0);
        image = QImage(reinterpret_cast<uchar*>(out.pixels.data()), dimensions.width(), dimensions.height(),
                       static_cast<qsizetype>(dimensions.width()) * 4, QImage::Format_RGB32);
    }
    if (!reader.read(&image) || image.isNull()) return false;
    out.width = image.width();
    out.height = image.height();
    out.bitsPerPixel = bits;
    out.colorTable.clear();
    // Only an indexed file carries a colour table (true colour has none, even
    // where Qt would make one up).
    if (bits <= 8) {
        for (QRgb c : image.colorTable()) out.colorTable.push_back(c & 0x00FFFFFFu);
    }
    const auto width = static_cast<std::size_t>(out.width);
    const std::size_t count = width * static_cast<std::size_t>(out.height);
    if (image.constBits() == reinterpret_cast<const uchar*>(out.pixels.data()) && out.pixels.size() == count) {
        for (uint32_t& p : out.pixels) p &= 0x00FFFFFFu;
        return true;
    }
    out.pixels.assign(count, 0);
    if (image.format() == QImage::Format_Indexed8) {
        // As Qt's own conversion reads the table: none at all is a grey
        // ramp, and an index past a short one is black.
        QList<QRgb> table = image.colorTable();
        if (table.isEmpty())
            for (int i = 0; i < 256; ++i) table.push_back(qRgb(i, i, i));
        table.resize(256, 0);
        const QRgb* colours = table.constData();
        for (int y = 0; y < out.height; ++y) {
            const uchar* row = image.constScanLine(y);
            uint32_t* to = out.pixels.data() + static_cast<std::size_t>(y) * width;
            for (std::size_t x = 0; x < width; ++x) to[x] = colours[row[x]] & 0x00FFFFFFu;
        }
        return true;
    }
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < out.height; ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        uint32_t* to = out.pixels.data() + static_cast<std::size_t>(y) * width;
        for (std::size_t x = 0; x < width; ++x) to[x] = row[x] & 0x00FFFFFFu;
    }
    return true;
}

void prepareText() {
    if (QCoreApplication::instance()) return;
    textState.application = new QGuiApplication(textState.argc, textState.argv);
}

FontMetrics defaultFontMetrics() {
    defaultFont();
    return textState.metrics;
}

int textAdvance(const std::u16string& text) { return QFontMetrics(defaultFont()).horizontalAdvance(toQString(text)); }

void drawText(uint32_t* pixels, int width, int height, int strideWords, int x, int y, const std::u16string& text,
              uint32_t inkXrgb, uint32_t backXrgb) {
    if (!pixels || width <= 0 || height <= 0 || strideWords < width) return;
    const QFont& font = defaultFont();
    const QString s = toQString(text);
    QImage image(reinterpret_cast<uchar*>(pixels), width, height, static_cast<qsizetype>(strideWords) * 4,
                 QImage::Format_RGB32);
    const QRect cell(x, y, QFontMetrics(font).horizontalAdvance(s), textState.metrics.height);
    {
        QPainter painter(&image);
        painter.setClipRect(cell);
        painter.fillRect(cell, toQColor(backXrgb));
        painter.setFont(font);
        painter.setPen(toQColor(inkXrgb));
        painter.drawText(x, y + textState.metrics.ascent, s);
    }
    // Qt writes an opaque alpha byte; XRGB pixels keep it zero.
    const QRect visible = cell.intersected(QRect(0, 0, width, height));
    for (int row = visible.top(); row <= visible.bottom(); ++row) {
        uint32_t* p = pixels + static_cast<std::size_t>(row) * static_cast<std::size_t>(strideWords);
        for (int col = visible.left(); col <= visible.right(); ++col) p[col] &= 0x00FFFFFFu;
    }
}

bool writePng(const std::string& path, const uint32_t* pixels, int width, int height) {
    if (!pixels || width <= 0 || height <= 0) return false;
    const QImage image(reinterpret_cast<const uchar*>(pixels), width, height, static_cast<qsizetype>(width) * 4,
                       QImage::Format_RGB32);
    return image.save(QString::fromStdString(path), "PNG");
}

}  // namespace platform::services
