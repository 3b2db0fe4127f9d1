#include "viewer/texture.h"

#include "platform/platform.h"

#include <stb_image.h>

#include <memory>
#include <new>

namespace {

// Larger files are refused before they are read: no car's texture comes near.
constexpr uint64_t MAX_FILE_SIZE = uint64_t(TEXTURE_MAX_SIDE) * TEXTURE_MAX_SIDE * 4 * 2 + 65536;
constexpr size_t HEADER_SIZE = 18;

bool ReadWhole(const std::string& path, std::vector<uint8_t>& bytes, std::string& reason) {
    bool notAFile = false;
    FileHandle file = OpenFileForReading(path.c_str(), &notAFile);
    if (!file) {
        reason = notAFile ? "it is not a file" : "it cannot be opened";
        return false;
    }
    uint64_t size = 0;
    bool read = QueryFileSize(file, &size);
    if (read && size > MAX_FILE_SIZE) {
        reason = "it is too large for a texture";
        read = false;
    } else if (read) {
        bytes.resize(size_t(size));
        read = ReadFileExactly(file, bytes.data(), uint32_t(size));
        if (!read) {
            reason = "it cannot be read";
        }
    } else {
        reason = "it cannot be read";
    }
    CloseFileHandle(file);
    return read;
}

uint32_t Little16(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8;
}

// An uncompressed image must be whole: the library would fill a missing end with black.
bool EndsEarly(const std::vector<uint8_t>& bytes) {
    uint32_t type = bytes[2];
    if (type < 1 || type > 3) {
        return false;
    }
    uint64_t mapEntryBytes = (uint64_t(bytes[7]) + 7) / 8;
    uint64_t pixelBytes = (uint64_t(bytes[16]) + 7) / 8;
    uint64_t needed = HEADER_SIZE + bytes[0] + (bytes[1] ? Little16(bytes, 5) * mapEntryBytes : 0) +
                      uint64_t(Little16(bytes, 12)) * Little16(bytes, 14) * pixelBytes;
    return bytes.size() < needed;
}

} // namespace

bool LoadTga(const std::string& path, Texture& texture, std::string& reason) {
    std::vector<uint8_t> bytes;
    try {
        if (!ReadWhole(path, bytes, reason)) {
            return false;
        }
    } catch (const std::bad_alloc&) {
        reason = "there is not enough memory to read it";
        return false;
    }
    if (bytes.size() < HEADER_SIZE || EndsEarly(bytes)) {
        reason = "the file ends before its image does";
        return false;
    }
    int width = 0, height = 0, channels = 0;
    std::unique_ptr<stbi_uc, void (*)(void*)> rgba(
        stbi_load_from_memory(bytes.data(), int(bytes.size()), &width, &height, &channels, 4),
        stbi_image_free);
    if (!rgba) {
        reason = "it is not a TGA image that can be read (24 or 32 bits a pixel, plain or RLE)";
        return false;
    }
    try {
        std::vector<uint32_t> pixels(size_t(width) * size_t(height));
        const stbi_uc* p = rgba.get();
        for (uint32_t& pixel : pixels) {
            pixel = uint32_t(p[3]) << 24 | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
            p += 4;
        }
        texture = {width, height, std::move(pixels)};
    } catch (const std::bad_alloc&) {
        reason = "there is not enough memory to read it";
        return false;
    }
    reason.clear();
    return true;
}
