// Display set-up and release, the drawing primitives and the palette message.
#include "media/display.h"

#include <cstring>
#include <vector>

#include "media/assets.h"
#include "media/bitmap_utility.h"
#include "media/sound.h"
#include "platform/window.h"

using namespace platform;

Display* ddraw = nullptr;
Surface* primarySurface = nullptr;
Surface* frameSurface = nullptr;
Clipper* windowClipper = nullptr;
Palette* gamePalette = nullptr;
DrawContext* frameTextContext = nullptr;

namespace {

struct PreparedStretch {
    Surface* picture = nullptr;
    Rect src;
    int width = 0;
    int height = 0;
    Surface* made = nullptr;
    bool ready = false;  // holds the scaled picture
};

std::vector<PreparedStretch> preparedStretches;

bool makeStretch(PreparedStretch& p) {
    const Rect whole = makeRect(0, 0, p.width, p.height);
    p.ready = !displayFailed(blt(p.made, &whole, p.picture, &p.src, DDBLT_WAIT));
    return p.ready;
}

void releasePreparedStretches() {
    for (PreparedStretch& p : preparedStretches) releaseSurface(p.made);
    preparedStretches.clear();
}

}  // namespace

bool initDirectDraw(Window* window, bool allPictures) {
    if (displayFailed(createDisplay(&ddraw))) {
        ddraw = nullptr;
        return false;
    }
    setCooperativeLevel(ddraw, window, DDSCL_NORMAL);

    SurfaceDesc primaryDesc;
    primaryDesc.flags = DDSD_CAPS;
    primaryDesc.caps = DDSCAPS_PRIMARYSURFACE;
    if (displayFailed(createSurface(ddraw, primaryDesc, &primarySurface))) {
        primarySurface = nullptr;
        releaseDisplay(ddraw);
        ddraw = nullptr;
        return false;
    }

    SurfaceDesc frameDesc;
    frameDesc.flags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    frameDesc.caps = DDSCAPS_OFFSCREENPLAIN;
    frameDesc.width = FRAME_WIDTH;
    frameDesc.height = FRAME_HEIGHT;
    if (displayFailed(createSurface(ddraw, frameDesc, &frameSurface))) {
        frameSurface = nullptr;
        releaseSurface(primarySurface);
        primarySurface = nullptr;
        releaseDisplay(ddraw);
        ddraw = nullptr;
        return false;
    }

    // The clipper keeps the present inside the window; its results are not
    // needed (without it an overhanging present is refused, not misdrawn).
    if (displayFailed(createClipper(ddraw, 0, &windowClipper))) windowClipper = nullptr;
    setClipperWindow(windowClipper, 0, window);
    setClipper(primarySurface, windowClipper);

    if (allPictures)
        loadSurfaces();
    else
        loadFirstScreenSurfaces();
    return true;
}

bool releasePresentation() {
    releaseSoundBuffers();
    releaseDirectSound();
    releasePreparedStretches();
    releaseSurfaces();
    // A text group left open would hold frameSurface's context.
    if (frameTextContext) endFrameText();
    releasePalette(gamePalette);
    gamePalette = nullptr;
    releaseClipper(windowClipper);
    windowClipper = nullptr;
    releaseSurface(frameSurface);
    frameSurface = nullptr;
    releaseSurface(primarySurface);
    primarySurface = nullptr;
    releaseDisplay(ddraw);
    ddraw = nullptr;
    return true;
}

bool prepareStretch(Surface* picture, const Rect& src, int width, int height) {
    if (!ddraw || !picture || width <= 0 || height <= 0) return false;
    for (const PreparedStretch& p : preparedStretches)
        if (p.picture == picture && p.src == src && p.width == width && p.height == height) return p.ready;
    SurfaceDesc desc;
    desc.flags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.caps = DDSCAPS_OFFSCREENPLAIN;
    desc.width = width;
    desc.height = height;
    PreparedStretch p{picture, src, width, height};
    if (displayFailed(createSurface(ddraw, desc, &p.made))) return false;
    if (!makeStretch(p)) {
        releaseSurface(p.made);
        return false;
    }
    preparedStretches.push_back(p);
    return true;
}

bool remakePreparedStretches() {
    bool all = true;
    for (PreparedStretch& p : preparedStretches) {
        p.ready = false;
        all = !displayFailed(restoreSurface(p.made)) && makeStretch(p) && all;
    }
    return all;
}

DisplayResult blitToFrame(const Rect& dst, Surface* picture, const Rect& src, bool keyed) {
    if (!frameSurface || !picture) return DDERR_INVALIDOBJECT;
    const int width = dst.right - dst.left;
    const int height = dst.bottom - dst.top;
    if (!keyed && (width != src.right - src.left || height != src.bottom - src.top)) {
        for (const PreparedStretch& p : preparedStretches) {
            if (!p.ready || p.picture != picture || !(p.src == src) || p.width != width || p.height != height)
                continue;
            const Rect whole = makeRect(0, 0, width, height);
            const DisplayResult copied = blt(frameSurface, &dst, p.made, &whole, DDBLT_WAIT);
            // Anything the copy refuses goes the plain way, which answers for it.
            if (!displayFailed(copied)) return copied;
            break;
        }
    }
    return blt(frameSurface, &dst, picture, &src, keyed ? (DDBLT_WAIT | DDBLT_KEYSRC) : DDBLT_WAIT);
}

DisplayResult drawBackground(Surface* picture) {
    DisplayResult result = blitToFrame(gameArea, picture, gameArea, false);
    if (result == DDERR_SURFACELOST) restoreSurfaces();
    return result;
}

bool beginFrameText(uint32_t textColour, uint32_t backColour) {
    if (frameTextContext || !frameSurface) return false;
    DrawContext* context = nullptr;
    if (displayFailed(getDC(frameSurface, &context))) return false;
    frameTextContext = context;
    setBkColor(frameTextContext, backColour);
    setTextColor(frameTextContext, textColour);
    return true;
}

void drawFrameText(int x, int y, const char* text, int byteLength) {
    if (!frameTextContext || !text) return;
    textOut(frameTextContext, x, y, text, byteLength);
}

void drawFrameText(int x, int y, const char* text) {
    if (!text) return;
    drawFrameText(x, y, text, static_cast<int>(std::strlen(text)));
}

void endFrameText() {
    if (!frameTextContext) return;
    releaseDC(frameSurface, frameTextContext);
    frameTextContext = nullptr;
}

void presentFrame(Window* window) {
    if (!primarySurface || !frameSurface) return;
    const Point origin = clientToScreen(window, Point{0, 0});
    const Rect dst = makeRect(origin.x, origin.y, origin.x + gameArea.right, origin.y + gameArea.bottom);
    blt(primarySurface, &dst, frameSurface, &gameArea, DDBLT_WAIT);
}

void realizePalette() {
    if (!gamePalette) return;
    setPalette(primarySurface, gamePalette);
    // The walker picture is reloaded under its lower-case name; the file
    // lookup finds "My1.bmp" all the same.
    reloadBitmap(surfMy1, "my1.bmp");
}
