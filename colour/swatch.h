// A colour shown as a filled control with the word "Texture" across it.
#pragma once

#include <windows.h>

#include <cstdint>

// Paints the whole swatch on control's own window, from a colour's four components. Called
// from the owning dialog's WM_PAINT, it validates the control so that the control does not
// paint over it.
void PaintSwatch(HWND control, uint32_t hue, uint32_t saturation, uint32_t value, uint32_t transparency);
