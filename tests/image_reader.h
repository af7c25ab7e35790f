// Pictures the tests look at (screenshots as PNG, the game's BMP files),
// read without any GUI library so that every build's tests can use them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

struct TestImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB, top row first

    bool isNull() const { return pixels.empty(); }
    uint32_t pixel(int x, int y) const {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
    }
};

// An empty image when the file cannot be read or decoded.
TestImage readImage(const std::filesystem::path& path);
