#include "colour/swatch.h"

#include "colour/colour_conversion.h"

namespace {

COLORREF ToColorref(const ScreenColour& colour) {
    return RGB(colour.red, colour.green, colour.blue);
}

} // namespace

void PaintSwatch(HWND control, uint32_t hue, uint32_t saturation, uint32_t value, uint32_t transparency) {
    ScreenColour fill, text;
    SwatchColours(hue, saturation, value, transparency, &fill, &text);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(control, &paint);
    RECT rect;
    GetClientRect(control, &rect);
    HBRUSH brush = CreateSolidBrush(ToColorref(fill));
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
    // Only the letters go over the fill, in whatever font the context holds.
    int oldMode = SetBkMode(dc, TRANSPARENT);
    COLORREF oldColour = SetTextColor(dc, ToColorref(text));
    DrawTextA(dc, "Texture", 7, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
    EndPaint(control, &paint);
}
