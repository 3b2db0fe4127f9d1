// A stored colour (hue, saturation, value, transparency) as the screen shows it. The
// arithmetic is fixed to the last bit: the swatches must show exactly the same red, green
// and blue on every build, so every step is a double rounded in a set order.
#pragma once

#include <bit>
#include <cstdint>

// Written by their bits, because the bits are what decide the results. The hue step lies one
// unit in the last place below the double nearest to 360/255, so that hue 255 stays below
// 360 degrees and hues 85 and 170 stay at the end of their sectors.
constexpr double HUE_DEGREES_PER_STEP = std::bit_cast<double>(uint64_t{0x3FF6969696969696});
constexpr double ONE_OVER_255 = std::bit_cast<double>(uint64_t{0x3F70101010101010});
constexpr double ONE_OVER_60 = std::bit_cast<double>(uint64_t{0x3F91111111111111});

static_assert(HUE_DEGREES_PER_STEP == 1.4117647058823528);
static_assert(std::bit_cast<uint64_t>(360.0 / 255.0) == 0x3FF6969696969697);
static_assert(ONE_OVER_255 == 1.0 / 255.0);
static_assert(ONE_OVER_60 == 1.0 / 60.0);

// Hue, saturation and value in 0..255 give red, green and blue in 0..255.
void ColourToRgb(uint32_t hue, uint32_t saturation, uint32_t value, int32_t* red, int32_t* green,
                 int32_t* blue);

// channel * transparency / 255, rounded down: how dark the word on a swatch is drawn.
uint32_t ShadeByTransparency(uint32_t channel, uint32_t transparency);

struct ScreenColour {
    int32_t red;
    int32_t green;
    int32_t blue;
};

// What a swatch shows of a colour: the fill, and the text drawn over it.
void SwatchColours(uint32_t hue, uint32_t saturation, uint32_t value, uint32_t transparency,
                   ScreenColour* fill, ScreenColour* text);
