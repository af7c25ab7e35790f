#include "plot.h"

#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>

#include <algorithm>
#include <cmath>
#include <memory>

namespace sim {

namespace {

constexpr int CELL_W = 86, CELL_H = 52;
constexpr int LEFT = 96, TOP = 84;
constexpr int SETTINGS = 7;
constexpr int LEGEND_H = 70;

// Losing machines red, even ones pale, paying ones green; the scale is
// logarithmic so that half and double the stake are equally strong.
QColor ratioColour(double ratio) {
    double t = std::clamp(std::log2(std::max(ratio, 1e-3)) / 1.6, -1.0, 1.0);
    QColor even(250, 248, 235);
    QColor end = t < 0 ? QColor(200, 40, 40) : QColor(20, 140, 60);
    double a = std::abs(t);
    return QColor(static_cast<int>(even.red() + (end.red() - even.red()) * a),
                  static_cast<int>(even.green() + (end.green() - even.green()) * a),
                  static_cast<int>(even.blue() + (end.blue() - even.blue()) * a));
}

// Qt needs an application object for fonts; the tool has none of its own.
std::unique_ptr<QGuiApplication> guiApplication() {
    if (QGuiApplication::instance()) return nullptr;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "pachinko-sim";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

}  // namespace

bool writeGridChart(const std::vector<RunCounts>& cells, const std::string& title, const std::string& subtitle,
                    const std::string& pngPath) {
    auto app = guiApplication();
    const int width = LEFT + SETTINGS * CELL_W + 24;
    const int height = TOP + SETTINGS * CELL_H + LEGEND_H;
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(255, 255, 255));
    QPainter g(&image);
    g.setRenderHint(QPainter::Antialiasing);
    g.setRenderHint(QPainter::TextAntialiasing);

    QFont font("DejaVu Sans");
    font.setPixelSize(15);
    font.setBold(true);
    g.setFont(font);
    g.setPen(QColor(20, 20, 20));
    g.drawText(QRect(0, 6, width, 24), Qt::AlignCenter, QString::fromStdString(title));

    font.setBold(false);
    font.setPixelSize(12);
    g.setFont(font);
    g.drawText(QRect(0, 28, width, 18), Qt::AlignCenter, QString::fromStdString(subtitle));
    g.drawText(QRect(LEFT, TOP - 36, SETTINGS * CELL_W, 16), Qt::AlignCenter, "nail setting");
    for (int n = 0; n < SETTINGS; ++n)
        g.drawText(QRect(LEFT + n * CELL_W, TOP - 18, CELL_W, 16), Qt::AlignCenter, QString::number(n));
    g.save();
    g.translate(18, TOP + SETTINGS * CELL_H / 2);
    g.rotate(-90);
    g.drawText(QRect(-80, -10, 160, 18), Qt::AlignCenter, "slot setting");
    g.restore();
    for (int s = 0; s < SETTINGS; ++s)
        g.drawText(QRect(LEFT - 40, TOP + s * CELL_H, 30, CELL_H), Qt::AlignRight | Qt::AlignVCenter,
                   QString::number(s));

    // The cells: empty ones grey, then each run's ratio and band.
    g.setPen(QColor(120, 120, 120));
    g.setBrush(QColor(215, 215, 215));
    for (int s = 0; s < SETTINGS; ++s)
        for (int n = 0; n < SETTINGS; ++n) g.drawRect(LEFT + n * CELL_W, TOP + s * CELL_H, CELL_W, CELL_H);
    QFont big = font;
    big.setPixelSize(17);
    big.setBold(true);
    QFont small = font;
    small.setPixelSize(10);
    for (const RunCounts& r : cells) {
        if (r.slotSetting < 0 || r.slotSetting >= SETTINGS || r.nailSetting < 0 || r.nailSetting >= SETTINGS) continue;
        QRect box(LEFT + r.nailSetting * CELL_W, TOP + r.slotSetting * CELL_H, CELL_W, CELL_H);
        g.setPen(QColor(120, 120, 120));
        g.setBrush(ratioColour(r.returnRatio()));
        g.drawRect(box);
        g.setPen(QColor(10, 10, 10));
        g.setFont(big);
        g.drawText(box.adjusted(0, 4, 0, -16), Qt::AlignCenter, QString::number(r.returnRatio(), 'f', 2));
        g.setFont(small);
        int band = bandOfDial(r.dial);
        QString dial = band < 0 ? QString("dial 0")
                                : QString("dial %1-%2").arg(DIAL_BANDS[band].low).arg(DIAL_BANDS[band].high);
        g.drawText(box.adjusted(0, CELL_H - 20, 0, -3), Qt::AlignCenter, dial);
    }

    // Legend: the colour scale from a quarter to four times the stake.
    const int ly = TOP + SETTINGS * CELL_H + 22, lx = LEFT, lw = SETTINGS * CELL_W;
    for (int i = 0; i < lw; ++i) {
        double ratio = std::pow(2.0, -2.0 + 4.0 * i / (lw - 1));
        g.setPen(ratioColour(ratio));
        g.drawLine(lx + i, ly, lx + i, ly + 14);
    }
    g.setPen(QColor(20, 20, 20));
    g.setFont(small);
    for (double ratio : {0.25, 0.5, 1.0, 2.0, 4.0}) {
        int x = lx + static_cast<int>(std::lround((std::log2(ratio) + 2.0) / 4.0 * (lw - 1)));
        g.drawLine(x, ly + 14, x, ly + 18);
        g.drawText(QRect(x - 30, ly + 19, 60, 14), Qt::AlignCenter, QString::number(ratio));
    }
    g.drawText(QRect(lx, ly + 33, lw, 14), Qt::AlignCenter, "balls paid (returns included) per ball launched");
    g.end();
    return image.save(QString::fromStdString(pngPath), "PNG");
}

}  // namespace sim
