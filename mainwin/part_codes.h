// The 27 part name codes that the games know, with the text and button of each in the
// part name chooser.
#pragma once

#include <cstdint>

struct PartCode {
    const char* code;        // written into partNames
    const char* description; // the text on the row's button
    int buttonId;            // the row's button in dialog 103
};

constexpr int PART_CODE_COUNT = 27;

// Row r (1 to 27) is PartCodeTable[r - 1]; the row number is the chooser's result.
extern const PartCode PartCodeTable[PART_CODE_COUNT];

// The row (1 to 27) whose button has this id, or 0 when no row has it.
int PartCodeRowForButton(int buttonId);

// The code of row r, or nullptr when r is not a row.
const char* PartCodeOfRow(int row);
