#include "mainwin/name_edits.h"

#include "mainwin/part_codes.h"

#include <algorithm>
#include <cstring>

namespace {

// The counts come from files; they never reach past the name tables.
uint32_t PartsInUse(const FceKeshHeader& header) {
    return std::min(header.partCount, MAX_PARTS);
}

uint32_t DummiesInUse(const FceKeshHeader& header) {
    return std::min(header.dummyCount, MAX_DUMMIES);
}

} // namespace

void SetNameField(char (&field)[NAME_SIZE], const char* text) {
    std::memset(field, 0, sizeof field);
    std::memcpy(field, text, strnlen(text, NAME_SIZE - 1));
}

bool RenamePart(FceKeshHeader& header, uint32_t index, const char* text) {
    if (index >= PartsInUse(header)) {
        return false;
    }
    SetNameField(header.partNames[index], text);
    return true;
}

bool RenameDummy(FceKeshHeader& header, uint32_t index, const char* text) {
    if (index >= DummiesInUse(header)) {
        return false;
    }
    SetNameField(header.dummyNames[index], text);
    return true;
}

void ApplyDefaultPartNames(FceKeshHeader& header) {
    uint32_t count = std::min(PartsInUse(header), static_cast<uint32_t>(DEFAULT_PART_CODE_COUNT));
    for (uint32_t i = 0; i < count; ++i) {
        SetNameField(header.partNames[i], PartCodeTable[i].code);
    }
}

uint32_t CountDriverParts(const FceKeshHeader& header) {
    const char* driver = PartCodeOfRow(DRIVER_PART_CODE_ROW);
    uint32_t count = 0;
    for (uint32_t i = 0; i < PartsInUse(header); ++i) {
        // A file may fill all 64 bytes without a terminator.
        char name[NAME_SIZE];
        NameFieldText(header.partNames[i], name);
        if (std::strcmp(name, driver) == 0) {
            ++count;
        }
    }
    return count;
}
