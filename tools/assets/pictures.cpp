#include "pictures.h"

#include "art.h"

#include <QDir>

namespace assets {

const std::vector<PictureSpec>& pictureList() {
    // The game's load order; the read regions are the largest source
    // rectangles the screens take from each picture.
    static const std::vector<PictureSpec> list = {
        {"back1.bmp", 640, 416, false, drawBack1},
        {"back2.bmp", 640, 416, false, drawBack2},
        {"back3.bmp", 640, 416, false, drawBack3},
        {"ginko1.bmp", 300, 200, false, drawGinko1},
        {"home1.bmp", 300, 200, false, drawHome1},
        {"tennai1.bmp", 321, 158, false, drawTennai1},
        {"stop.bmp", 94, 31, false, drawStop},
        {"dial.bmp", 101, 28, false, drawDial},
        {"slot.bmp", 34, 346, false, drawSlot},
        {"gate.bmp", 91, 23, false, drawGate},
        {"t1.bmp", 6, 4, false, drawT1},
        {"hana.bmp", 32, 46, false, drawHana},
        {"seiko.bmp", 145, 55, false, drawSeiko},
        {"hasan.bmp", 60, 27, false, drawHasan},
        {"My1.bmp", 32, 32, true, drawMy1},
        {"My2.bmp", 32, 32, true, drawMy2},
        {"do1_0.bmp", 21, 41, true, drawDo1Base},
        {"do1_1.bmp", 12, 41, true, drawDo1LeafA},
        {"do1_2.bmp", 4, 41, true, drawDo1LeafB},
        {"do2_0.bmp", 40, 40, true, drawDo2Base},
        {"do2_1.bmp", 40, 40, true, drawDo2LeafA},
        {"do2_2.bmp", 40, 40, true, drawDo2LeafB},
        {"do3_0.bmp", 62, 51, true, drawDo3Base},
        {"do3_1.bmp", 62, 51, true, drawDo3LeafA},
        {"do3_2.bmp", 62, 51, true, drawDo3LeafB},
        {"tama.bmp", 17, 17, true, drawTama},
        {"koin.bmp", 30, 65, true, drawKoin},
        {"hane1.bmp", 35, 35, true, drawHane1},
        {"hane2.bmp", 35, 35, true, drawHane2},
        {"tyu1_c.bmp", 55, 34, true, drawTyu1Closed},
        {"tyu1_o.bmp", 55, 34, true, drawTyu1Open},
        {"tyu2_c.bmp", 56, 53, true, drawTyu2Closed},
        {"tyu2_o.bmp", 56, 53, true, drawTyu2Open},
        {"lamp1.bmp", 9, 9, true, drawLamp1},
        {"lamp2.bmp", 8, 8, true, drawLamp2},
        {"lamp3.bmp", 5, 5, true, drawLamp3},
        {"lamp4.bmp", 4, 4, true, drawLamp4},
    };
    return list;
}

bool writePictures(const QString& outDir, QString* error) {
    QDir dir(outDir);
    for (const PictureSpec& spec : pictureList()) {
        const QString path = dir.filePath(QString::fromLatin1(spec.file));
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
