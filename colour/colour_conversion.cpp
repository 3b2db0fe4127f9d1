#include "colour/colour_conversion.h"

#include <cfloat>
#include <cmath>

// Extended x87 precision or fused multiply-adds would round differently; the 32-bit build
// computes in SSE2 and every build is compiled with -ffp-contract=off.
static_assert(FLT_EVAL_METHOD == 0, "doubles must be evaluated as doubles");

void ColourToRgb(uint32_t hue, uint32_t saturation, uint32_t value, int32_t* red, int32_t* green,
                 int32_t* blue) {
    const double hueDegrees = hue * HUE_DEGREES_PER_STEP;
    const double s = saturation * ONE_OVER_255;
    const double v = value * ONE_OVER_255;
    double r, g, b;
    if (s == 0.0) {
        r = g = b = v;
    } else {
        const double h6 = hueDegrees * ONE_OVER_60;
        const double i = std::floor(h6);
        const double f = h6 - i;
        const double p = (1.0 - s) * v;
        const double q = (1.0 - (f * s)) * v;
        const double t = (1.0 - ((1.0 - f) * s)) * v;
        // Hues 0..255 give sectors 0..5; larger ones go round the wheel again rather than
        // leaving the channels unset.
        switch (static_cast<int64_t>(i) % 6) {
        case 0: r = v, g = t, b = p; break;
        case 1: r = q, g = v, b = p; break;
        case 2: r = p, g = v, b = t; break;
        case 3: r = p, g = q, b = v; break;
        case 4: r = t, g = p, b = v; break;
        default: r = v, g = p, b = q; break;
        }
    }
    *red = static_cast<int32_t>(r * 255.0);
    *green = static_cast<int32_t>(g * 255.0);
    *blue = static_cast<int32_t>(b * 255.0);
}

uint32_t ShadeByTransparency(uint32_t channel, uint32_t transparency) {
    return channel * transparency / 255;
}

void SwatchColours(uint32_t hue, uint32_t saturation, uint32_t value, uint32_t transparency,
                   ScreenColour* fill, ScreenColour* text) {
    ColourToRgb(hue, saturation, value, &fill->red, &fill->green, &fill->blue);
    text->red = static_cast<int32_t>(ShadeByTransparency(static_cast<uint32_t>(fill->red), transparency));
    text->green = static_cast<int32_t>(ShadeByTransparency(static_cast<uint32_t>(fill->green), transparency));
    text->blue = static_cast<int32_t>(ShadeByTransparency(static_cast<uint32_t>(fill->blue), transparency));
}
