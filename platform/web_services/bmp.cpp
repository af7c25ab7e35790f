// BMP pictures through stb_image. stb gives the pixels of every file the
// game's content uses (8 bits with a colour table, 24 bits); the colour table
// and the bit count are read from the file's own header, since stb keeps
// neither.
#include <cstring>

#include "platform/services.h"

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_BMP
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wall"
#pragma GCC diagnostic ignored "-Wextra"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#include <stb_image.h>
#pragma GCC diagnostic pop

namespace platform::services {
namespace {

uint32_t readLe(const uint8_t* bytes, std::size_t offset, int count) {
    uint32_t v = 0;
    for (int i = count - 1; i >= 0; --i) v = (v << 8) | bytes[offset + static_cast<std::size_t>(i)];
    return v;
}

// The colour table of an indexed file: as many entries as the header says
// are used (all 2^bits when it says 0), cut at the end of the file. Core
// headers (12 bytes) store three bytes an entry, the others four.
std::vector<uint32_t> colourTable(const uint8_t* bytes, std::size_t size, uint32_t headerSize, int bits) {
    std::vector<uint32_t> table;
    const bool core = headerSize == 12;
    const std::size_t entryBytes = core ? 3 : 4;
    std::size_t count = std::size_t{1} << bits;
    if (!core && size >= 50) {
        const uint32_t used = readLe(bytes, 46, 4);
        if (used != 0 && used < count) count = used;
    }
    std::size_t at = 14 + static_cast<std::size_t>(headerSize);
    for (std::size_t i = 0; i < count && at + entryBytes <= size; ++i, at += entryBytes)
        table.push_back((uint32_t{bytes[at + 2]} << 16) | (uint32_t{bytes[at + 1]} << 8) | bytes[at]);
    return table;
}

}  // namespace

bool decodeBmp(const std::string&, const uint8_t* bytes, std::size_t size, DecodedPicture& out) {
    if (!bytes || size < 30 || bytes[0] != 'B' || bytes[1] != 'M') return false;
    // stb takes an int length; no picture of ours comes near that.
    if (size > 0x7FFFFFFF) return false;
    const uint32_t headerSize = readLe(bytes, 14, 4);
    const int bits = static_cast<int>(headerSize == 12 ? readLe(bytes, 24, 2) : readLe(bytes, 28, 2));
    if (bits < 1 || bits > 32) return false;
    int width = 0;
    int height = 0;
    int channels = 0;
    stbi_uc* rgba = stbi_load_from_memory(bytes, static_cast<int>(size), &width, &height, &channels, 4);
    if (!rgba) return false;
    out.width = width;
    out.height = height;
    out.bitsPerPixel = bits;
    out.colorTable.clear();
    if (bits <= 8) out.colorTable = colourTable(bytes, size, headerSize, bits);
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    out.pixels.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const stbi_uc* p = rgba + i * 4;
        out.pixels[i] = (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
    }
    stbi_image_free(rgba);
    return true;
}

}  // namespace platform::services
