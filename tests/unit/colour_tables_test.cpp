#include "colour/colour_edit.h"
#include "colour/colour_tables.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

namespace {

// Entry i of table k is (16i + 4k, 16i + 4k + 1, ...), so every byte tells where it came from.
FceColour Marked(int table, int row) {
    const auto b = static_cast<uint8_t>(16 * row + 4 * table);
    return {b, uint8_t(b + 1), uint8_t(b + 2), uint8_t(b + 3)};
}

FceKeshHeader HeaderWithColours(uint32_t count) {
    FceKeshHeader header{};
    for (int table = 0; table < COLOUR_TABLE_COUNT; ++table) {
        for (int row = 0; row < static_cast<int>(MAX_COLOURS); ++row) {
            ColourTable(header, table)[row] = Marked(table, row);
        }
    }
    header.colourCount = count;
    return header;
}

bool Holds(FceKeshHeader& header, int table, int row, const FceColour& colour) {
    return std::memcmp(&ColourTable(header, table)[row], &colour, sizeof colour) == 0;
}

TEST(ColourTablesTest, AddsUpToSixteenRowsAndIgnoresTheSeventeenth) {
    FceKeshHeader header = HeaderWithColours(0);
    for (int row = 0; row < 16; ++row) {
        ASSERT_EQ(AddColourRow(header), row);
        EXPECT_EQ(header.colourCount, static_cast<uint32_t>(row + 1));
        for (int table = 0; table < COLOUR_TABLE_COUNT; ++table) {
            EXPECT_TRUE(Holds(header, table, row, NEW_COLOUR)) << table << " " << row;
        }
    }
    const FceKeshHeader full = header;
    EXPECT_EQ(AddColourRow(header), -1);
    EXPECT_EQ(std::memcmp(&header, &full, sizeof header), 0);
}

TEST(ColourTablesTest, DeleteMovesTheRowsBelowUpInEveryTable) {
    const struct {
        int count, row, countAfter;
        std::array<int, 4> slots; // where slots 0..3 of every table now come from
    } cases[] = {
        {3, 0, 2, {1, 2, 2, 3}}, // the third slot keeps the bytes of the old entry 2
        {4, 1, 3, {0, 2, 3, 3}},  {4, 3, 3, {0, 1, 2, 3}}, {1, 0, 0, {0, 1, 2, 3}},
        {3, -1, 3, {0, 1, 2, 3}}, {3, 3, 3, {0, 1, 2, 3}}, // no such row
    };
    for (const auto& c : cases) {
        FceKeshHeader header = HeaderWithColours(uint32_t(c.count));
        EXPECT_EQ(DeleteColourRow(header, c.row), c.countAfter < c.count) << c.count << " " << c.row;
        EXPECT_EQ(header.colourCount, uint32_t(c.countAfter)) << c.count << " " << c.row;
        for (int table = 0; table < COLOUR_TABLE_COUNT; ++table) {
            for (int slot = 0; slot < 4; ++slot) {
                EXPECT_TRUE(Holds(header, table, slot, Marked(table, c.slots[slot])))
                    << c.count << " " << c.row << ": table " << table << " slot " << slot;
            }
        }
    }
}

// No reader lets such a count in, but the tables must never be left even if one arrives.
TEST(ColourTablesTest, CountAboveTheTablesStaysInsideThem) {
    FceKeshHeader header = HeaderWithColours(1000);
    EXPECT_EQ(ColourRows(header), 16u);
    EXPECT_EQ(AddColourRow(header), -1);
    EXPECT_FALSE(DeleteColourRow(header, 16));
    ASSERT_TRUE(DeleteColourRow(header, 14));
    EXPECT_TRUE(Holds(header, 3, 14, Marked(3, 15)));
    EXPECT_TRUE(Holds(header, 3, 15, Marked(3, 15))) << "nothing is read behind the tables";
    EXPECT_EQ(header.colourCount, 15u) << "the count follows the rows that were shown";
}

// Requests by their codes: 0 and 1 a line up and down, 2 and 3 a page, 4 and 5 the thumb, 6 the
// top, 7 the bottom; 8 (the end of a scroll) and unknown codes keep the position. Positions from
// outside the range are clamped before stepping, so that nothing can overflow.
TEST(NextScrollPositionTest, EveryRequestWithinZeroTo255) {
    const struct {
        int32_t position, track;
        uint16_t request;
        int32_t expected;
    } cases[] = {
        {100, 7, 0, 99},  {0, 7, 0, 0},          {100, 7, 1, 101},     {255, 7, 1, 255},
        {100, 7, 2, 90},  {5, 7, 2, 0},          {100, 7, 3, 110},     {250, 7, 3, 255},
        {100, 7, 4, 7},   {100, 200, 5, 200},    {100, 7, 6, 0},       {100, 7, 7, 255},
        {100, 7, 8, 100}, {100, 7, 0xFFFF, 100}, {INT32_MIN, 0, 0, 0}, {INT32_MAX, 0, 3, 255},
        {300, 0, 8, 255}, {0, -5, 5, 0},         {0, 256, 4, 255},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NextScrollPosition(c.position, c.track, c.request), c.expected)
            << "from " << c.position << " request " << c.request;
    }
}

} // namespace
