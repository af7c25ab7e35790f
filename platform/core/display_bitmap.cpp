// Bitmaps by name: the program's own resources (none) and BMP files decoded
// by the system (services.h), found also when the name's letter case differs
// from the file's.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "display_internal.h"
#include "platform/services.h"

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

// Read in one piece into a buffer of the file's size: a growing buffer would
// pass a big picture through fresh memory several times over.
bool readWholeFile(const std::filesystem::path& path, std::vector<uint8_t>& out) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) return false;
    const std::streamoff size = in.tellg();
    if (size < 0 || size > MAX_BITMAP_FILE_BYTES) return false;
    in.seekg(0);
    out.resize(static_cast<std::size_t>(size));
    return size == 0 || static_cast<bool>(in.read(reinterpret_cast<char*>(out.data()), size));
}

uint32_t readLe(const std::vector<uint8_t>& bytes, std::size_t offset, int size) {
    uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i) v = (v << 8) | bytes[offset + static_cast<std::size_t>(i)];
    return v;
}

// Bits per pixel as the file states them (decoders convert on reading).
int fileBitCount(const std::vector<uint8_t>& bytes) {
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
    std::vector<uint8_t> bytes;
    if (!readWholeFile(path, bytes)) return nullptr;
    const int bits = fileBitCount(bytes);
    if (bits == 0) return nullptr;
    services::DecodedPicture picture;
    const std::u8string utf8 = path.u8string();  // the services take UTF-8 on every system
    if (!services::decodeBmp(std::string(utf8.begin(), utf8.end()), bytes.data(), bytes.size(), picture))
        return nullptr;
    const std::size_t area = static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height);
    if (picture.width <= 0 || picture.height <= 0 || picture.pixels.size() != area) return nullptr;

    Bitmap* bitmap = new Bitmap;
    bitmap->width = picture.width;
    bitmap->height = picture.height;
    bitmap->bitsPerPixel = bits;
    // Only an indexed file carries a colour table (true colour has none, even
    // where a decoder would make one up). The services hand both over as
    // 0x00RRGGBB already.
    if (bits <= 8) bitmap->colorTable = std::move(picture.colorTable);
    bitmap->pixels = std::move(picture.pixels);
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
