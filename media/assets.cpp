// Loading, restoring and releasing the 37 pictures.
#include "media/assets.h"

#include "media/bitmap_utility.h"
#include "media/display.h"

#include <string_view>

using namespace platform;

Surface* surfBack1 = nullptr;
Surface* surfBack2 = nullptr;
Surface* surfBack3 = nullptr;
Surface* surfGinko1 = nullptr;
Surface* surfHome1 = nullptr;
Surface* surfTennai1 = nullptr;
Surface* surfStop = nullptr;
Surface* surfDial = nullptr;
Surface* surfSlot = nullptr;
Surface* surfGate = nullptr;
Surface* surfT1 = nullptr;
Surface* surfHana = nullptr;
Surface* surfSeiko = nullptr;
Surface* surfHasan = nullptr;
Surface* surfMy1 = nullptr;
Surface* surfMy2 = nullptr;
Surface* surfDo1_0 = nullptr;
Surface* surfDo1_1 = nullptr;
Surface* surfDo1_2 = nullptr;
Surface* surfDo2_0 = nullptr;
Surface* surfDo2_1 = nullptr;
Surface* surfDo2_2 = nullptr;
Surface* surfDo3_0 = nullptr;
Surface* surfDo3_1 = nullptr;
Surface* surfDo3_2 = nullptr;
Surface* surfTama = nullptr;
Surface* surfKoin = nullptr;
Surface* surfHane1 = nullptr;
Surface* surfHane2 = nullptr;
Surface* surfTyu1C = nullptr;
Surface* surfTyu1O = nullptr;
Surface* surfTyu2C = nullptr;
Surface* surfTyu2O = nullptr;
Surface* surfLamp1 = nullptr;
Surface* surfLamp2 = nullptr;
Surface* surfLamp3 = nullptr;
Surface* surfLamp4 = nullptr;

Surface** const pictureSurfaces[PICTURE_COUNT] = {
    &surfBack1, &surfBack2, &surfBack3, &surfGinko1, &surfHome1, &surfTennai1, &surfStop, &surfDial,
    &surfSlot,  &surfGate,  &surfT1,    &surfHana,   &surfSeiko, &surfHasan,   &surfMy1,  &surfMy2,
    &surfDo1_0, &surfDo1_1, &surfDo1_2, &surfDo2_0,  &surfDo2_1, &surfDo2_2,   &surfDo3_0, &surfDo3_1,
    &surfDo3_2, &surfTama,  &surfKoin,  &surfHane1,  &surfHane2, &surfTyu1C,   &surfTyu1O, &surfTyu2C,
    &surfTyu2O, &surfLamp1, &surfLamp2, &surfLamp3,  &surfLamp4,
};

ColorKey pictureKey;

namespace {

// The pixel value of pure white on the keyed pictures. It is measured on the
// walker picture; when that picture is missing or cannot be measured, white
// is read off the pixel format of the first keyed picture there is, so that
// a failed measurement never makes black (the value 0) transparent. False
// when there is no keyed picture at all.
bool findKeyValue(uint32_t& value) {
    if (measureColor(surfMy1, KEY_COLOUR, value)) return true;
    for (int i = 0; i < PICTURE_COUNT; ++i) {
        Surface* surface = *pictureSurfaces[i];
        if (!pictureFiles[i].keyed || !surface) continue;
        SurfaceDesc desc;
        if (displayFailed(getSurfaceDesc(surface, desc)) || desc.format.flags != DDPF_RGB) continue;
        value = desc.format.redMask | desc.format.greenMask | desc.format.blueMask;
        return true;
    }
    return false;
}

}  // namespace

namespace {

// What the town at rest draws on its first tick; the rest (the backdrop's
// second frame, the parlour, the bank's and the parlours' interiors, the
// tuning screen's) can wait for the first picture.
bool onFirstScreen(const Surface* const* slot) {
    for (const Surface* const* s : {&surfBack1, &surfHome1, &surfHana, &surfSeiko, &surfHasan, &surfMy1,
                                     &surfMy2, &surfDo1_0, &surfDo1_1, &surfDo1_2, &surfDo2_0, &surfDo2_1, &surfDo2_2,
                                     &surfDo3_0, &surfDo3_1, &surfDo3_2})
        if (s == slot) return true;
    return false;
}

// Loads the pictures of one half and keys every keyed picture loaded so far.
void loadPictures(bool firstScreen, Bitmap* paletteBitmap) {
    for (int i = 0; i < PICTURE_COUNT; ++i) {
        if (onFirstScreen(pictureSurfaces[i]) != firstScreen) continue;
        const bool paletteFile = std::string_view(pictureFiles[i].file) == PALETTE_FILE;
        *pictureSurfaces[i] = paletteFile && paletteBitmap ? bitmapSurface(ddraw, paletteBitmap, nullptr)
                                                           : loadBitmapSurface(ddraw, pictureFiles[i].file, nullptr);
    }
    uint32_t value = 0;
    if (!findKeyValue(value)) return;
    pictureKey = ColorKey{value, value};
    for (int i = 0; i < PICTURE_COUNT; ++i)
        if (pictureFiles[i].keyed && *pictureSurfaces[i]) setColorKey(*pictureSurfaces[i], DDCKEY_SRCBLT, pictureKey);
}

}  // namespace

void loadFirstScreenSurfaces() {
    // The palette's picture is one of the pictures: it is read once for both.
    Bitmap* paletteBitmap = loadNamedBitmap(PALETTE_FILE);
    gamePalette = paletteBitmap ? loadBitmapPalette(ddraw, PALETTE_FILE, paletteBitmap) : nullptr;
    setPalette(primarySurface, gamePalette);
    loadPictures(true, paletteBitmap);
    deleteBitmap(paletteBitmap);
}

void loadOtherSurfaces() { loadPictures(false, nullptr); }

void loadSurfaces() {
    loadFirstScreenSurfaces();
    loadOtherSurfaces();
}

bool restoreSurfaces() {
    if (displayFailed(restoreSurface(primarySurface))) return false;
    if (displayFailed(restoreSurface(frameSurface))) return false;
    bool all = true;
    for (int i = 0; i < PICTURE_COUNT; ++i) {
        Surface* surface = *pictureSurfaces[i];
        if (!surface) continue;
        if (displayFailed(restoreSurface(surface))) {
            all = false;
            continue;
        }
        reloadBitmap(surface, pictureFiles[i].file);
    }
    // The stretches made from the pictures are made again from them.
    return remakePreparedStretches() && all;
}

void releaseSurfaces() {
    for (int i = PICTURE_COUNT - 1; i >= 0; --i) {
        releaseSurface(*pictureSurfaces[i]);
        *pictureSurfaces[i] = nullptr;
    }
}
