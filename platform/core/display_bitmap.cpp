// Bitmaps by name: the program's own resources (none) and BMP files read by
// Qt's BMP reader, found also when the name's letter case differs from the
// file's.
#include <QByteArray>
#include <QImage>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "display_internal.h"

namespace platform {
namespace {

// Picture files are small; anything larger is not one of ours.
constexpr long MAX_BITMAP_FILE_BYTES = 64L * 1024 * 1024;

char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (asciiLower(a[i]) != asciiLower(b[i])) return false;
    return true;
}

bool isRegularFile(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

// The file the name stands for: the exact name, else the one file of the
// same folder whose name matches ignoring ASCII case (the first in byte
// order if several do, so the choice never depends on directory order).
bool resolveFileName(const std::string& name, std::filesystem::path& out) {
    const std::filesystem::path path(name);
    if (isRegularFile(path)) {
        out = path;
        return true;
    }
    const std::string wanted = path.filename().string();
    if (wanted.empty()) return false;
    std::filesystem::path folder = path.parent_path();
    if (folder.empty()) folder = ".";
    std::error_code ec;
    std::filesystem::directory_iterator it(folder, ec);
    std::string best;
    for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
        const std::string candidate = it->path().filename().string();
        if (!sameIgnoringCase(candidate, wanted) || !isRegularFile(it->path())) continue;
        if (best.empty() || candidate < best) best = candidate;
    }
    if (best.empty()) return false;
    out = folder / best;
    return true;
}

bool readWholeFile(const std::filesystem::path& path, QByteArray& out) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    std::vector<char> buffer;
    char chunk[65536];
    std::size_t got;
    bool ok = true;
    while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) {
        buffer.insert(buffer.end(), chunk, chunk + got);
        if (buffer.size() > static_cast<std::size_t>(MAX_BITMAP_FILE_BYTES)) {
            ok = false;
            break;
        }
    }
    std::fclose(f);
    if (!ok) return false;
    out = QByteArray(buffer.data(), static_cast<qsizetype>(buffer.size()));
    return true;
}

uint32_t readLe(const QByteArray& bytes, int offset, int size) {
    uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(bytes[offset + i]);
    return v;
}

// Bits per pixel as the file states them (Qt converts on reading).
int fileBitCount(const QByteArray& bytes) {
    if (bytes.size() < 30 || bytes[0] != 'B' || bytes[1] != 'M') return 0;
    const uint32_t headerSize = readLe(bytes, 14, 4);
    return static_cast<int>(headerSize == 12 ? readLe(bytes, 24, 2) : readLe(bytes, 28, 2));
}

}  // namespace

Bitmap* loadBitmapResource(const char* name) {
    // The program is built without bitmap resources: every picture is a file.
    return nullptr;
}

Bitmap* loadBitmapFile(const char* name) {
    if (!name || !*name) return nullptr;
    std::filesystem::path path;
    if (!resolveFileName(name, path)) return nullptr;
    QByteArray bytes;
    if (!readWholeFile(path, bytes)) return nullptr;
    const int bits = fileBitCount(bytes);
    if (bits == 0) return nullptr;
    QImage image;
    if (!image.loadFromData(bytes, "BMP") || image.isNull()) return nullptr;

    Bitmap* bitmap = new Bitmap;
    bitmap->width = image.width();
    bitmap->height = image.height();
    bitmap->bitsPerPixel = bits;
    // Only an indexed file carries a colour table (true colour has none, even
    // where Qt would make one up).
    if (bits <= 8) {
        for (QRgb c : image.colorTable()) bitmap->colorTable.push_back(c & 0x00FFFFFFu);
    }
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    bitmap->pixels.resize(static_cast<std::size_t>(bitmap->width) * static_cast<std::size_t>(bitmap->height));
    for (int y = 0; y < bitmap->height; ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        uint32_t* to = bitmap->pixels.data() + static_cast<std::size_t>(y) * bitmap->width;
        for (int x = 0; x < bitmap->width; ++x) to[x] = row[x] & 0x00FFFFFFu;
    }
    ++displayState.counts.bitmaps;
    return bitmap;
}

void deleteBitmap(Bitmap* bitmap) {
    if (!bitmap) return;
    delete bitmap;
    --displayState.counts.bitmaps;
}

bool getBitmapInfo(Bitmap* bitmap, BitmapInfo& out) {
    if (!bitmap) return false;
    out.width = bitmap->width;
    out.height = bitmap->height;
    out.bitsPerPixel = bitmap->bitsPerPixel;
    return true;
}

}  // namespace platform
