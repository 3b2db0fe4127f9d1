#include "model/part_names.h"

#include <algorithm>
#include <cstring>

void SetNameField(char (&field)[NAME_SIZE], const char* text) {
    std::memset(field, 0, sizeof field);
    std::memcpy(field, text, strnlen(text, NAME_SIZE - 1));
}

void ApplyDefaultPartNames(FceKeshHeader& header) {
    // The count comes from a file; it never reaches past the name table.
    uint32_t count = std::min({header.partCount, MAX_PARTS, DEFAULT_PART_NAME_COUNT});
    for (uint32_t i = 0; i < count; ++i) {
        SetNameField(header.partNames[i], DEFAULT_PART_NAMES[i]);
    }
}

uint32_t CountDriverParts(const FceKeshHeader& header) {
    uint32_t count = 0;
    for (uint32_t i = 0; i < std::min(header.partCount, MAX_PARTS); ++i) {
        // A file may fill all 64 bytes without a terminator.
        char name[NAME_SIZE];
        NameFieldText(header.partNames[i], name);
        if (std::strcmp(name, DRIVER_PART_NAME) == 0) {
            ++count;
        }
    }
    return count;
}
