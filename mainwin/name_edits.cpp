#include "mainwin/name_edits.h"

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
