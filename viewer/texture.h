// A car's texture, read from a TGA image.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Texture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels; // 0xAARRGGBB, rows from the image's top
};

// Larger images are refused: a car's texture is far smaller, and a broken header must not ask
// for gigabytes.
constexpr int32_t TEXTURE_MAX_SIDE = 8192;

// Reads a TGA (24/32-bit, plain or RLE). false with a reason worded for a user otherwise.
bool LoadTga(const std::string& path, Texture& texture, std::string& reason);
