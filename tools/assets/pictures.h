// The game's 37 pictures, one drawing function each, and their list.
#pragma once

#include <QImage>
#include <QString>

#include <vector>

namespace assets {

// One row of the game's picture list: the file, the smallest size that
// holds every rectangle the screens read from it, whether it is drawn with
// the white colour key, and the function that draws it (already reduced to
// the game palette; "back1.bmp" as an 8-bit indexed image).
struct PictureSpec {
    const char* file;
    int readWidth;
    int readHeight;
    bool keyed;
    QImage (*draw)();
};

// The rows of the game's own picture list (media/assets.h), in its load
// order, each with its drawing function.
const std::vector<PictureSpec>& pictureList();

// Writes every picture of the list into the folder as a Windows bitmap.
// False (with a message) when a picture cannot be written.
bool writePictures(const QString& outDir, QString* error);

// --- town, doors, walker, flowers, end pictures (pictures_town.cpp) ---------
// The town backdrop before palette reduction; frame 0 or 1.
QImage townFrame(int frame);
QImage drawBack1();
QImage drawBack2();
QImage drawHana();
QImage drawSeiko();
QImage drawHasan();
QImage drawMy1();
QImage drawMy2();
QImage drawDo1Base();
QImage drawDo1LeafA();
QImage drawDo1LeafB();
QImage drawDo2Base();
QImage drawDo2LeafA();
QImage drawDo2LeafB();
QImage drawDo3Base();
QImage drawDo3LeafA();
QImage drawDo3LeafB();

// --- interiors (pictures_interiors.cpp) --------------------------------------
QImage drawHome1();
QImage drawGinko1();
QImage drawTennai1();

// --- the machine (pictures_machine.cpp) ---------------------------------------
QImage drawBack3();
QImage drawStop();
QImage drawDial();
QImage drawSlot();
QImage drawGate();
QImage drawT1();
QImage drawTama();
QImage drawKoin();
QImage drawHane1();
QImage drawHane2();
QImage drawTyu1Closed();
QImage drawTyu1Open();
QImage drawTyu2Closed();
QImage drawTyu2Open();
QImage drawLamp1();
QImage drawLamp2();
QImage drawLamp3();
QImage drawLamp4();

// --- icon, help, previews --------------------------------------------------------
// The 16-colour program icon, size × size pixels (the program's own is 32).
QImage drawIcon(int size = 32);
// Writes "pachinko.ico" and "pachinko.png" (32 × 32).
bool writeIcon(const QString& outDir, QString* error);
// The sizes drawn for desktop menus and launchers.
constexpr int DESKTOP_ICON_SIZES[] = {32, 64, 128, 256};
// Writes "pachinko-N.png" for each of the desktop sizes.
bool writeDesktopIcons(const QString& outDir, QString* error);
// Writes "pachi.hlp" and "error.hlp".
bool writeHelp(const QString& outDir, QString* error);
// Writes the preview PNGs from the pictures in pictureDir.
bool writePreviews(const QString& pictureDir, const QString& docsDir, QString* error);

}  // namespace assets
