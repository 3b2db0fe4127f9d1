#include "mainwin/name_edits.h"

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
