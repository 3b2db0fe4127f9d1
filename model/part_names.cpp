#include "model/part_names.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

void SetNameField(char (&field)[NAME_SIZE], const char* text) {
    std::memset(field, 0, sizeof field);
    std::memcpy(field, text, strnlen(text, NAME_SIZE - 1));
}

void ApplyDefaultPartNames(FceKeshHeader& header) {
    uint32_t count = std::min(PartsInUse(header), DEFAULT_PART_NAME_COUNT);
    for (uint32_t i = 0; i < count; ++i) {
        SetNameField(header.partNames[i], DEFAULT_PART_NAMES[i]);
    }
}

bool NameIs(const char (&field)[NAME_SIZE], const char* text) {
    size_t length = std::strlen(text);
    return length < NAME_SIZE && strnlen(field, NAME_SIZE) == length && std::memcmp(field, text, length) == 0;
}

uint32_t CountDriverParts(const FceKeshHeader& header) {
    uint32_t count = 0;
    for (uint32_t p = 0; p < PartsInUse(header); ++p) {
        count += NameIs(header.partNames[p], DRIVER_PART_NAME) ? 1 : 0;
    }
    return count;
}

bool FindDriverPart(const FceKeshHeader& header, uint32_t* partIndex) {
    for (uint32_t p = 0; p < PartsInUse(header); ++p) {
        if (NameIs(header.partNames[p], DRIVER_PART_NAME)) {
            *partIndex = p;
            return true;
        }
    }
    return false;
}

std::string QuotedName(const char (&field)[NAME_SIZE]) {
    std::string text = "\"";
    for (size_t i = 0; i < strnlen(field, NAME_SIZE); ++i) {
        auto byte = static_cast<unsigned char>(field[i]);
        if (byte >= 0x20 && byte < 0x7F && byte != '"' && byte != '\\') {
            text += char(byte);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            text += escaped;
        }
    }
    return text + "\"";
}
