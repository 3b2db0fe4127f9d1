#include "colour/colour_tables.h"

#include <algorithm>
#include <cstdio>

FceColour* ColourTable(FceKeshHeader& header, int table) {
    switch (table) {
    case 0: return header.primaryColours;
    case 1: return header.interiorColours;
    case 2: return header.secondaryColours;
    case 3: return header.driverHairColours;
    default: return nullptr;
    }
}

uint32_t ColourRows(const FceKeshHeader& header) {
    return std::min(header.colourCount, MAX_COLOURS);
}

FceColour* ColourEntry(FceKeshHeader& header, int table, int row) {
    FceColour* entries = ColourTable(header, table);
    if (!entries || row < 0 || static_cast<uint32_t>(row) >= ColourRows(header)) {
        return nullptr;
    }
    return &entries[row];
}

void FormatColourRow(const FceColour& colour, char (&text)[COLOUR_ROW_TEXT_SIZE]) {
    std::snprintf(text, sizeof text, "%d, %d, %d, %d", colour.hue, colour.saturation, colour.value,
                  colour.transparency);
}

int AddColourRow(FceKeshHeader& header) {
    if (header.colourCount >= MAX_COLOURS) {
        return -1;
    }
    const uint32_t row = header.colourCount++;
    for (int table = 0; table < COLOUR_TABLE_COUNT; ++table) {
        ColourTable(header, table)[row] = NEW_COLOUR;
    }
    return static_cast<int>(row);
}

bool DeleteColourRow(FceKeshHeader& header, int row) {
    const uint32_t rows = ColourRows(header);
    if (row < 0 || static_cast<uint32_t>(row) >= rows) {
        return false;
    }
    for (uint32_t i = static_cast<uint32_t>(row); i + 1 < rows; ++i) {
        for (int table = 0; table < COLOUR_TABLE_COUNT; ++table) {
            FceColour* entries = ColourTable(header, table);
            entries[i] = entries[i + 1];
        }
    }
    // Counted from the rows shown, so that the lists and the count stay in step.
    header.colourCount = rows - 1;
    return true;
}
