// The display work of one tick: the full background, sprites, a stretched
// interior, the status text and the present. A tick has 100 ms for all of it.
#include <benchmark/benchmark.h>

#include "media/display.h"
#include "platform/display.h"

using namespace platform;

namespace {

Surface* makePicture(int w, int h, uint32_t colour, bool keyed) {
    SurfaceDesc d;
    d.flags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    d.caps = DDSCAPS_OFFSCREENPLAIN;
    d.width = w;
    d.height = h;
    Surface* s = nullptr;
    createSurface(ddraw, d, &s);
    SurfaceDesc locked;
    lockSurface(s, nullptr, locked, DDLOCK_WAIT);
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<uint8_t*>(locked.pixels) + static_cast<std::ptrdiff_t>(y) * locked.pitch;
        for (int x = 0; x < w; ++x) {
            // A ball-like disc on white, so a keyed blit really skips pixels.
            const int dx = 2 * x - w, dy = 2 * y - h;
            const uint32_t v = (dx * dx + dy * dy < w * h) ? colour : 0x00FFFFFFu;
            for (int i = 0; i < 4; ++i) row[x * 4 + i] = static_cast<uint8_t>(v >> (8 * i));
        }
    }
    unlockSurface(s, nullptr);
    if (keyed) setColorKey(s, DDCKEY_SRCBLT, ColorKey{0x00FFFFFFu, 0x00FFFFFFu});
    return s;
}

// The display set up without picture files; the benchmark makes its own.
struct Fixture {
    Surface* back = nullptr;
    Surface* ball = nullptr;
    Surface* interior = nullptr;
    Fixture() {
        releasePresentation();  // whatever a tick benchmark left set up
        initDirectDraw(nullptr);
        back = makePicture(640, 416, 0x00336699, false);
        ball = makePicture(17, 17, 0x00C0C0C0, true);
        interior = makePicture(300, 200, 0x00884422, false);
    }
    ~Fixture() {
        releaseSurface(back);
        releaseSurface(ball);
        releaseSurface(interior);
        releasePresentation();
    }
};

void BM_FullFrameOpaqueBlit(benchmark::State& state) {
    Fixture f;
    for (auto _ : state) benchmark::DoNotOptimize(blitToFrame(gameArea, f.back, gameArea, false));
}
BENCHMARK(BM_FullFrameOpaqueBlit);

void BM_KeyedSprite17(benchmark::State& state) {
    Fixture f;
    const Rect src = makeRect(0, 0, 17, 17), dst = makeRect(300, 200, 317, 217);
    for (auto _ : state) benchmark::DoNotOptimize(blitToFrame(dst, f.ball, src, true));
}
BENCHMARK(BM_KeyedSprite17);

void BM_StretchedInterior(benchmark::State& state) {
    Fixture f;
    const Rect src = makeRect(0, 0, 300, 200), dst = makeRect(185, 118, 455, 298);  // 270 × 180
    for (auto _ : state) benchmark::DoNotOptimize(blitToFrame(dst, f.interior, src, false));
}
BENCHMARK(BM_StretchedInterior);

void BM_TextGroupThreeLines(benchmark::State& state) {
    Fixture f;
    for (auto _ : state) {
        if (beginFrameText(0x0000FFFF, 0x00FF0000)) {
            drawFrameText(0, 0, "持ち金:10000円");
            drawFrameText(0, 18, "持ち玉:250発");
            drawFrameText(0, 36, "日数:12日め");
            endFrameText();
        }
    }
}
BENCHMARK(BM_TextGroupThreeLines);

void BM_PresentFrame(benchmark::State& state) {
    Fixture f;
    for (auto _ : state) presentFrame(nullptr);
}
BENCHMARK(BM_PresentFrame);

}  // namespace
