#include "pictures.h"

#include "art.h"

#include "media/assets.h"

#include <cstring>

#include <QDir>

namespace assets {

namespace {

struct Drawer {
    const char* file;
    QImage (*draw)();
};

// One drawing function per picture of the game's list.
constexpr Drawer DRAWERS[] = {
    {"back1.bmp", drawBack1},       {"back2.bmp", drawBack2},       {"back3.bmp", drawBack3},
    {"ginko1.bmp", drawGinko1},     {"home1.bmp", drawHome1},       {"tennai1.bmp", drawTennai1},
    {"stop.bmp", drawStop},         {"dial.bmp", drawDial},         {"slot.bmp", drawSlot},
    {"gate.bmp", drawGate},         {"t1.bmp", drawT1},             {"hana.bmp", drawHana},
    {"seiko.bmp", drawSeiko},       {"hasan.bmp", drawHasan},       {"My1.bmp", drawMy1},
    {"My2.bmp", drawMy2},           {"do1_0.bmp", drawDo1Base},     {"do1_1.bmp", drawDo1LeafA},
    {"do1_2.bmp", drawDo1LeafB},    {"do2_0.bmp", drawDo2Base},     {"do2_1.bmp", drawDo2LeafA},
    {"do2_2.bmp", drawDo2LeafB},    {"do3_0.bmp", drawDo3Base},     {"do3_1.bmp", drawDo3LeafA},
    {"do3_2.bmp", drawDo3LeafB},    {"tama.bmp", drawTama},         {"koin.bmp", drawKoin},
    {"hane1.bmp", drawHane1},       {"hane2.bmp", drawHane2},       {"tyu1_c.bmp", drawTyu1Closed},
    {"tyu1_o.bmp", drawTyu1Open},   {"tyu2_c.bmp", drawTyu2Closed}, {"tyu2_o.bmp", drawTyu2Open},
    {"lamp1.bmp", drawLamp1},       {"lamp2.bmp", drawLamp2},       {"lamp3.bmp", drawLamp3},
    {"lamp4.bmp", drawLamp4},
};

std::vector<PictureSpec> buildList() {
    // The game's own picture list decides the files, keys and sizes.
    std::vector<PictureSpec> list;
    for (const PictureFile& row : pictureFiles) {
        QImage (*draw)() = nullptr;
        for (const Drawer& d : DRAWERS)
            if (std::strcmp(d.file, row.file) == 0) draw = d.draw;
        list.push_back({row.file, row.readWidth, row.readHeight, row.keyed, draw});
    }
    return list;
}

}  // namespace

const std::vector<PictureSpec>& pictureList() {
    static const std::vector<PictureSpec> list = buildList();
    return list;
}

bool writePictures(const QString& outDir, QString* error) {
    QDir dir(outDir);
    for (const PictureSpec& spec : pictureList()) {
        const QString path = dir.filePath(QString::fromLatin1(spec.file));
        if (!spec.draw) {
            if (error) *error = QStringLiteral("no drawing for %1").arg(path);
            return false;
        }
        QImage image = spec.draw();
        if (image.width() < spec.readWidth || image.height() < spec.readHeight) {
            if (error) *error = QStringLiteral("%1 is smaller than its read region").arg(path);
            return false;
        }
        if (!art::saveBmp(image, path)) {
            if (error) *error = QStringLiteral("cannot write %1").arg(path);
            return false;
        }
    }
    return true;
}

}  // namespace assets
