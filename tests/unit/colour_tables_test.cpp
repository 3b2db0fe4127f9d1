#include "colour/colour_edit.h"
#include "colour/colour_tables.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

bool SameColour(const FceColour& a, const FceColour& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

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

std::string Row(const FceColour& colour) {
    char text[COLOUR_ROW_TEXT_SIZE];
    FormatColourRow(colour, text);
    return text;
}

TEST(ColourTablesTest, TablesInColumnOrder) {
    FceKeshHeader header{};
    EXPECT_EQ(ColourTable(header, 0), header.primaryColours);
    EXPECT_EQ(ColourTable(header, 1), header.interiorColours);
    EXPECT_EQ(ColourTable(header, 2), header.secondaryColours);
    EXPECT_EQ(ColourTable(header, 3), header.driverHairColours);
    EXPECT_EQ(ColourTable(header, 4), nullptr);
}

TEST(ColourTablesTest, RowTextInByteOrder) {
    EXPECT_EQ(Row(NEW_COLOUR), "128, 128, 128, 128");
    EXPECT_EQ(Row({0, 255, 7, 99}), "0, 255, 7, 99");
    EXPECT_EQ(Row({255, 255, 255, 255}), "255, 255, 255, 255");
}

TEST(ColourTablesTest, AddsUpToSixteenRows) {
    FceKeshHeader header = HeaderWithColours(0);
    for (int expected = 0; expected < 16; ++expected) {
        ASSERT_EQ(AddColourRow(header), expected);
        EXPECT_EQ(header.colourCount, static_cast<uint32_t>(expected + 1));
        for (int table = 0; table < COLOUR_TABLE_COUNT; ++table) {
            EXPECT_TRUE(SameColour(ColourTable(header, table)[expected], NEW_COLOUR));
        }
    }
    const FceKeshHeader full = header;
    EXPECT_EQ(AddColourRow(header), -1);
    EXPECT_EQ(std::memcmp(&header, &full, sizeof header), 0) << "a seventeenth colour changes nothing";
}

TEST(ColourTablesTest, AddLeavesTheOtherRowsAlone) {
    FceKeshHeader header = HeaderWithColours(2);
    ASSERT_EQ(AddColourRow(header), 2);
    for (int table = 0; table < COLOUR_TABLE_COUNT; ++table) {
        EXPECT_TRUE(SameColour(ColourTable(header, table)[1], Marked(table, 1)));
        EXPECT_TRUE(SameColour(ColourTable(header, table)[3], Marked(table, 3)));
    }
}

TEST(ColourTablesTest, DeleteMovesEveryTableUpAndKeepsTheStaleSlot) {
    FceKeshHeader header = HeaderWithColours(3);
    ASSERT_TRUE(DeleteColourRow(header, 0));
    EXPECT_EQ(header.colourCount, 2u);
    for (int table = 0; table < COLOUR_TABLE_COUNT; ++table) {
        EXPECT_TRUE(SameColour(ColourTable(header, table)[0], Marked(table, 1))) << table;
        EXPECT_TRUE(SameColour(ColourTable(header, table)[1], Marked(table, 2))) << table;
        EXPECT_TRUE(SameColour(ColourTable(header, table)[2], Marked(table, 2))) << "stale slot " << table;
        EXPECT_TRUE(SameColour(ColourTable(header, table)[3], Marked(table, 3))) << table;
    }
}

TEST(ColourTablesTest, DeleteTheMiddleAndTheLastRow) {
    FceKeshHeader header = HeaderWithColours(4);
    ASSERT_TRUE(DeleteColourRow(header, 1));
    EXPECT_TRUE(SameColour(header.secondaryColours[0], Marked(2, 0)));
    EXPECT_TRUE(SameColour(header.secondaryColours[1], Marked(2, 2)));
    EXPECT_TRUE(SameColour(header.secondaryColours[2], Marked(2, 3)));
    ASSERT_TRUE(DeleteColourRow(header, 2));
    EXPECT_EQ(header.colourCount, 2u);
    EXPECT_TRUE(SameColour(header.driverHairColours[1], Marked(3, 2)));
}

TEST(ColourTablesTest, DeleteTheOnlyRow) {
    FceKeshHeader header = HeaderWithColours(1);
    ASSERT_TRUE(DeleteColourRow(header, 0));
    EXPECT_EQ(header.colourCount, 0u);
    EXPECT_TRUE(SameColour(header.primaryColours[0], Marked(0, 0)));
    EXPECT_FALSE(DeleteColourRow(header, 0));
    EXPECT_EQ(header.colourCount, 0u);
}

TEST(ColourTablesTest, DeleteWithoutSuchARowDoesNothing) {
    FceKeshHeader header = HeaderWithColours(3);
    const FceKeshHeader before = header;
    EXPECT_FALSE(DeleteColourRow(header, -1));
    EXPECT_FALSE(DeleteColourRow(header, 3));
    EXPECT_EQ(std::memcmp(&header, &before, sizeof header), 0);
}

// No reader lets such a count in, but the tables must never be left even if one arrives.
TEST(ColourTablesTest, CountAboveTheTablesStaysInsideThem) {
    FceKeshHeader header = HeaderWithColours(1000);
    EXPECT_EQ(ColourRows(header), 16u);
    EXPECT_NE(ColourEntry(header, 3, 15), nullptr);
    EXPECT_EQ(ColourEntry(header, 3, 16), nullptr);
    EXPECT_EQ(ColourEntry(header, 3, -1), nullptr);
    EXPECT_EQ(ColourEntry(header, 4, 0), nullptr);
    EXPECT_EQ(AddColourRow(header), -1);
    EXPECT_FALSE(DeleteColourRow(header, 16));
    std::memset(header.reservedArea1, 0xEE, sizeof header.reservedArea1);
    ASSERT_TRUE(DeleteColourRow(header, 14));
    EXPECT_TRUE(SameColour(header.driverHairColours[14], Marked(3, 15)));
    EXPECT_TRUE(SameColour(header.driverHairColours[15], Marked(3, 15)))
        << "nothing is read behind the tables";
    EXPECT_EQ(header.reservedArea1[0], 0xEE);
    EXPECT_EQ(header.colourCount, 15u) << "the count follows the rows that were shown";
}

TEST(ColourEditStateTest, LoadsAndStoresTheFourBytes) {
    ColourEditState state{};
    LoadColourEditState({1, 2, 3, 4}, &state);
    EXPECT_EQ(state.hue, 1u);
    EXPECT_EQ(state.saturation, 2u);
    EXPECT_EQ(state.value, 3u);
    EXPECT_EQ(state.transparency, 4u);
    FceColour entry{};
    StoreColourEditState({255, 0x1FE, 7, 0x100}, &entry);
    EXPECT_TRUE(SameColour(entry, FceColour{255, 0xFE, 7, 0}));
}

struct ScrollCase {
    int32_t position;
    int32_t track;
    uint16_t request;
    int32_t expected;
};

TEST(NextScrollPositionTest, EveryRequest) {
    const ScrollCase cases[] = {
        {100, 7, SCROLL_LINE_UP, 99},
        {0, 7, SCROLL_LINE_UP, 0},
        {100, 7, SCROLL_LINE_DOWN, 101},
        {255, 7, SCROLL_LINE_DOWN, 255},
        {100, 7, SCROLL_PAGE_UP, 90},
        {5, 7, SCROLL_PAGE_UP, 0},
        {10, 7, SCROLL_PAGE_UP, 0},
        {100, 7, SCROLL_PAGE_DOWN, 110},
        {250, 7, SCROLL_PAGE_DOWN, 255},
        {245, 7, SCROLL_PAGE_DOWN, 255},
        {100, 7, SCROLL_THUMB_POSITION, 7},
        {100, 200, SCROLL_THUMB_TRACK, 200},
        {100, 0, SCROLL_THUMB_TRACK, 0},
        {100, 7, SCROLL_TOP, 0},
        {100, 7, SCROLL_BOTTOM, 255},
        {100, 7, 8, 100}, // the end of a scroll
        {100, 7, 9, 100},
        {100, 7, 0xFFFF, 100},
    };
    for (const ScrollCase& c : cases) {
        EXPECT_EQ(NextScrollPosition(c.position, c.track, c.request), c.expected)
            << "from " << c.position << " request " << c.request;
    }
}

TEST(NextScrollPositionTest, NeverLeavesTheRange) {
    EXPECT_EQ(NextScrollPosition(INT32_MIN, 0, SCROLL_LINE_UP), 0);
    EXPECT_EQ(NextScrollPosition(INT32_MAX, 0, SCROLL_PAGE_DOWN), 255);
    EXPECT_EQ(NextScrollPosition(300, 0, 8), 255);
    EXPECT_EQ(NextScrollPosition(0, -5, SCROLL_THUMB_TRACK), 0);
    EXPECT_EQ(NextScrollPosition(0, 256, SCROLL_THUMB_POSITION), 255);
}

} // namespace
