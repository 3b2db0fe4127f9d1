// The four colour tables of the car as the colours editor shows them: row i is entry i of
// every table, and the tables share one count.
#pragma once

#include "model/car_model.h"

#include <cstddef>
#include <cstdint>

constexpr int COLOUR_TABLE_COUNT = 4;
constexpr size_t COLOUR_ROW_TEXT_SIZE = 32;
constexpr FceColour NEW_COLOUR = {128, 128, 128, 128};

// Table 0..3: primary, interior, secondary, driver hair.
FceColour* ColourTable(FceKeshHeader& header, int table);

// Rows in use. A count above the size of the tables shows the tables whole, never more.
uint32_t ColourRows(const FceKeshHeader& header);

// Entry row of a table, or nullptr when there is no such row.
FceColour* ColourEntry(FceKeshHeader& header, int table, int row);

// "hue, saturation, value, transparency" as the lists show it.
void FormatColourRow(const FceColour& colour, char (&text)[COLOUR_ROW_TEXT_SIZE]);

// Appends NEW_COLOUR to all four tables. Returns the new row, or -1 when the tables are full.
int AddColourRow(FceKeshHeader& header);

// Removes row from all four tables, moving the rows below it up. The last slot in use keeps
// its bytes; only the count forgets it. False when there is no such row.
bool DeleteColourRow(FceKeshHeader& header, int row);
