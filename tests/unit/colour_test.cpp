#include "colour/colour_conversion.h"
#include "colour/colour_edit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>

namespace {

using Rgb = std::array<int32_t, 3>;

Rgb Convert(uint32_t hue, uint32_t saturation, uint32_t value) {
    Rgb rgb{-1, -1, -1};
    ColourToRgb(hue, saturation, value, &rgb[0], &rgb[1], &rgb[2]);
    return rgb;
}

TEST(ColourToRgbTest, GreyIsOneBelowTheValueAtTwentyFourLevels) {
    const uint32_t oneBelow[] = {33, 37,  41,  45,  49,  53,  57,  61,  66,  74,  82,  90,
                                 98, 106, 114, 122, 132, 148, 164, 180, 196, 212, 228, 244};
    for (uint32_t value = 0; value <= 255; ++value) {
        const bool below = std::find(std::begin(oneBelow), std::end(oneBelow), value) != std::end(oneBelow);
        const int32_t level = static_cast<int32_t>(value) - (below ? 1 : 0);
        for (uint32_t hue : {0u, 85u, 200u, 255u}) {
            EXPECT_EQ(Convert(hue, 0, value), (Rgb{level, level, level})) << hue << ", 0, " << value;
        }
    }
}

// Both sides of every sector bound at full saturation and value (hues 85 and 170 end their
// sectors, 255 stays in the last one), then colours whose last bit depends on how the
// arithmetic is done: the hue step rounded to the nearest double, a fused multiply-add,
// (1 - s) * v written as v - s * v, or dividing by 60 instead of multiplying by its inverse
// would each change one of them. Hues above 255 go round the wheel again.
TEST(ColourToRgbTest, SectorBoundsAndRounding) {
    const struct {
        uint32_t hue, saturation, value;
        Rgb rgb;
    } cases[] = {
        {0, 255, 255, {255, 0, 0}},      {42, 255, 255, {255, 251, 0}},  {43, 255, 255, {252, 255, 0}},
        {85, 255, 255, {0, 255, 0}},     {86, 255, 255, {0, 255, 5}},    {127, 255, 255, {0, 255, 251}},
        {128, 255, 255, {0, 252, 255}},  {170, 255, 255, {0, 0, 255}},   {171, 255, 255, {5, 0, 255}},
        {212, 255, 255, {251, 0, 255}},  {213, 255, 255, {255, 0, 252}}, {255, 255, 255, {255, 0, 0}},
        {2, 255, 255, {255, 11, 0}},     {12, 170, 255, {255, 132, 85}}, {2, 170, 85, {85, 31, 28}},
        {5, 68, 17, {17, 12, 12}},       {0, 5, 153, {153, 149, 149}},   {33, 255, 255, {255, 197, 0}},
        {128, 128, 128, {63, 127, 128}}, {300, 255, 255, {240, 255, 0}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Convert(c.hue, c.saturation, c.value), c.rgb)
            << c.hue << ", " << c.saturation << ", " << c.value;
    }
}

TEST(SwatchColoursTest, TextIsTheFillScaledByTransparencyRoundedDown) {
    EXPECT_EQ(ShadeByTransparency(200, 255), 200u);
    EXPECT_EQ(ShadeByTransparency(200, 0), 0u);
    EXPECT_EQ(ShadeByTransparency(254, 1), 0u);
    ScreenColour fill, text;
    SwatchColours(128, 128, 128, 128, &fill, &text);
    EXPECT_EQ((Rgb{fill.red, fill.green, fill.blue}), (Rgb{63, 127, 128}));
    EXPECT_EQ((Rgb{text.red, text.green, text.blue}), (Rgb{31, 63, 64}));
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
