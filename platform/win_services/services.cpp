// Windows' own picture decoding (LoadImageW), text drawing (GDI) and PNG
// writing (stb_image_write) for the shared platform core.
#include "platform/services.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>

namespace platform::services {
namespace {

// Our names are UTF-8; Windows takes UTF-16 (a narrow name would go
// through the ANSI code page and lose every character outside it).
std::filesystem::path fromUtf8(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

struct GdiObject {
    HGDIOBJ handle = nullptr;
    explicit GdiObject(HGDIOBJ h) : handle(h) {}
    ~GdiObject() {
        if (handle) DeleteObject(handle);
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
};

struct MemoryDc {
    HDC dc = CreateCompatibleDC(nullptr);
    ~MemoryDc() {
        if (dc) DeleteDC(dc);
    }
    MemoryDc() = default;
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
};

uint32_t xrgbFromQuad(const RGBQUAD& q) {
    return (uint32_t{q.rgbRed} << 16) | (uint32_t{q.rgbGreen} << 8) | uint32_t{q.rgbBlue};
}

// GDI's COLORREF is 0x00BBGGRR; our pixels are 0x00RRGGBB.
COLORREF colorRefFromXrgb(uint32_t xrgb) { return RGB((xrgb >> 16) & 0xFF, (xrgb >> 8) & 0xFF, xrgb & 0xFF); }

// The font and the DC that measures and draws with it, made once per
// process and kept: every text cell of every tick goes through them.
struct TextGdi {
    HDC dc = nullptr;
    HFONT font = nullptr;
    FontMetrics metrics;
};

TextGdi gdi;

TextGdi& textGdi() {
    if (!gdi.dc) {
        gdi.dc = CreateCompatibleDC(nullptr);
        // The Japanese Gothic face every Japanese Windows has, 16 pixels from
        // the top of its tallest glyph to the bottom of its lowest (a negative
        // height asks for the character height, not the cell's), aliased.
        gdi.font = CreateFontW(-16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                               CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, FIXED_PITCH | FF_MODERN,
                               L"\xFF2D\xFF33 \x30B4\x30B7\x30C3\x30AF");  // ＭＳ ゴシック
        SelectObject(gdi.dc, gdi.font);
        TEXTMETRICW tm{};
        GetTextMetricsW(gdi.dc, &tm);
        gdi.metrics.ascent = tm.tmAscent;
        gdi.metrics.height = tm.tmHeight;
    }
    return gdi;
}

uint32_t readLe32(const uint8_t* p) {
    return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

// A file with a BITMAPINFOHEADER (or a later one) and a negative height.
bool isTopDown(const uint8_t* bytes, std::size_t size) {
    constexpr std::size_t infoAt = sizeof(BITMAPFILEHEADER);
    if (!bytes || size < infoAt + sizeof(BITMAPINFOHEADER)) return false;
    const uint32_t headerSize = readLe32(bytes + infoAt);
    if (headerSize < sizeof(BITMAPINFOHEADER) || headerSize > size - infoAt) return false;
    return static_cast<int32_t>(readLe32(bytes + infoAt + 8)) < 0;
}

}  // namespace

bool decodeBmp(const std::string& path, const uint8_t* bytes, std::size_t size, DecodedPicture& out) {
    // LoadImageW reads the file itself: every variant Windows knows, in the
    // colours Windows shows it in.
    GdiObject bitmap(LoadImageW(nullptr, fromUtf8(path).c_str(), IMAGE_BITMAP, 0, 0,
                                LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    if (!bitmap.handle) return false;
    DIBSECTION section{};
    if (GetObjectW(bitmap.handle, sizeof section, &section) != sizeof section) return false;
    const LONG width = section.dsBmih.biWidth;
    const LONG height = section.dsBmih.biHeight < 0 ? -section.dsBmih.biHeight : section.dsBmih.biHeight;
    if (width <= 0 || height <= 0) return false;
    out.width = width;
    out.height = height;
    out.bitsPerPixel = section.dsBmih.biBitCount;
    out.colorTable.clear();

    MemoryDc memory;
    if (!memory.dc) return false;
    if (isTopDown(bytes, size)) {
        // Wine's LoadImageW leaves the rows of a top-down file blank; GDI
        // reads them right from the file's own header and bits.
        const uint32_t offset = readLe32(bytes + 10);
        if (offset >= size ||
            SetDIBits(memory.dc, static_cast<HBITMAP>(bitmap.handle), 0, static_cast<UINT>(height), bytes + offset,
                      reinterpret_cast<const BITMAPINFO*>(bytes + sizeof(BITMAPFILEHEADER)), DIB_RGB_COLORS) != height)
            return false;
    }
    if (out.bitsPerPixel <= 8) {
        RGBQUAD table[256];
        HGDIOBJ old = SelectObject(memory.dc, bitmap.handle);
        const UINT count = GetDIBColorTable(memory.dc, 0, 256, table);
        SelectObject(memory.dc, old);
        for (UINT i = 0; i < count; ++i) out.colorTable.push_back(xrgbFromQuad(table[i]));
    }
    // Whatever the file's format, GDI converts the rows to top-down 32 bits.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    out.pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    if (GetDIBits(memory.dc, static_cast<HBITMAP>(bitmap.handle), 0, static_cast<UINT>(height), out.pixels.data(),
                  &info, DIB_RGB_COLORS) != height)
        return false;
    for (uint32_t& p : out.pixels) p &= 0x00FFFFFFu;
    return true;
}

void prepareText() { textGdi(); }

FontMetrics defaultFontMetrics() { return textGdi().metrics; }

int textAdvance(const std::u16string& text) {
    if (text.empty()) return 0;
    SIZE size{};
    GetTextExtentPoint32W(textGdi().dc, reinterpret_cast<const wchar_t*>(text.data()), static_cast<int>(text.size()),
                          &size);
    return size.cx;
}

void drawText(uint32_t* pixels, int width, int height, int strideWords, int x, int y, const std::u16string& text,
              uint32_t inkXrgb, uint32_t backXrgb) {
    TextGdi& gdi = textGdi();
    const int cellWidth = textAdvance(text);
    const int cellHeight = gdi.metrics.height;
    if (cellWidth <= 0 || cellHeight <= 0) return;
    // The cell is drawn into a DIB section of its own, then copied out with
    // the cut at the buffer's edges.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = cellWidth;
    info.bmiHeader.biHeight = -cellHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    GdiObject cell(CreateDIBSection(gdi.dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!cell.handle || !bits) return;
    HGDIOBJ old = SelectObject(gdi.dc, cell.handle);
    SetBkMode(gdi.dc, OPAQUE);
    SetBkColor(gdi.dc, colorRefFromXrgb(backXrgb));
    SetTextColor(gdi.dc, colorRefFromXrgb(inkXrgb));
    SetTextAlign(gdi.dc, TA_TOP | TA_LEFT | TA_NOUPDATECP);
    const RECT rect{0, 0, cellWidth, cellHeight};
    ExtTextOutW(gdi.dc, 0, 0, ETO_OPAQUE, &rect, reinterpret_cast<const wchar_t*>(text.data()),
                static_cast<UINT>(text.size()), nullptr);
    GdiFlush();
    SelectObject(gdi.dc, old);

    const auto* source = static_cast<const uint32_t*>(bits);
    for (int row = 0; row < cellHeight; ++row) {
        const int ty = y + row;
        if (ty < 0 || ty >= height) continue;
        for (int col = 0; col < cellWidth; ++col) {
            const int tx = x + col;
            if (tx < 0 || tx >= width) continue;
            pixels[static_cast<std::ptrdiff_t>(ty) * strideWords + tx] =
                source[static_cast<std::size_t>(row) * static_cast<std::size_t>(cellWidth) +
                       static_cast<std::size_t>(col)] &
                0x00FFFFFFu;
        }
    }
}

bool writePng(const std::string& path, const uint32_t* pixels, int width, int height) {
    if (width <= 0 || height <= 0) return false;
    std::vector<uint8_t> rgb(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
    for (std::size_t i = 0, n = static_cast<std::size_t>(width) * static_cast<std::size_t>(height); i < n; ++i) {
        rgb[i * 3] = static_cast<uint8_t>(pixels[i] >> 16);
        rgb[i * 3 + 1] = static_cast<uint8_t>(pixels[i] >> 8);
        rgb[i * 3 + 2] = static_cast<uint8_t>(pixels[i]);
    }
    int size = 0;
    std::unique_ptr<unsigned char, decltype(&free)> png(
        stbi_write_png_to_mem(rgb.data(), width * 3, width, height, 3, &size), &free);
    if (!png || size <= 0) return false;
    FILE* file = _wfopen(fromUtf8(path).c_str(), L"wb");
    if (!file) return false;
    bool ok = std::fwrite(png.get(), 1, static_cast<std::size_t>(size), file) == static_cast<std::size_t>(size);
    ok = std::fclose(file) == 0 && ok;
    return ok;
}

}  // namespace platform::services
