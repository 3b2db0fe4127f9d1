// Reads a painted swatch back pixel by pixel, to see the fill and the word drawn over it.
#pragma once

#include <windows.h>

#include <algorithm>
#include <climits>

struct SwatchReading {
    int width = 0;
    int height = 0;
    int fillPixels = 0;
    int textPixels = 0;  // pixels in the text colour that are not also the fill colour
    int otherPixels = 0; // anything else: the smoothed edges of letters, or a wrong colour
    RECT textBox = {INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    RECT otherBox = {INT_MAX, INT_MAX, INT_MIN, INT_MIN};

    // Everything but the word is the fill: pixels of neither colour only smooth the letters.
    bool FilledAroundText() const {
        return otherPixels == 0 ||
               (otherBox.left >= textBox.left - 1 && otherBox.right <= textBox.right + 1 &&
                otherBox.top >= textBox.top - 1 && otherBox.bottom <= textBox.bottom + 1);
    }

    bool TextCentred(int slack = 3) const {
        return textPixels > 0 && std::abs((textBox.left + textBox.right) - width) <= 2 * slack &&
               std::abs((textBox.top + textBox.bottom) - height) <= 2 * slack;
    }
};

inline void Include(RECT* box, int x, int y) {
    box->left = std::min<LONG>(box->left, x);
    box->top = std::min<LONG>(box->top, y);
    box->right = std::max<LONG>(box->right, x + 1);
    box->bottom = std::max<LONG>(box->bottom, y + 1);
}

inline SwatchReading ReadSwatch(HWND control, COLORREF fill, COLORREF text) {
    SwatchReading reading;
    RECT client;
    GetClientRect(control, &client);
    reading.width = client.right;
    reading.height = client.bottom;
    HDC dc = GetDC(control);
    for (int y = 0; y < client.bottom; ++y) {
        for (int x = 0; x < client.right; ++x) {
            COLORREF pixel = GetPixel(dc, x, y);
            if (pixel == fill) {
                ++reading.fillPixels;
            } else if (pixel == text) {
                ++reading.textPixels;
                Include(&reading.textBox, x, y);
            } else {
                ++reading.otherPixels;
                Include(&reading.otherBox, x, y);
            }
        }
    }
    ReleaseDC(control, dc);
    return reading;
}
