// The row of controls above the car view's picture, laid out from the font it is drawn in, so
// that every control holds its whole text at any screen scale.
#pragma once

#include "viewer/car_view.h"

#include <cstdint>
#include <vector>

enum class RowItemKind { CheckBox, Button, Text };

struct RowItem {
    RowItemKind kind;
    int32_t textWidth; // of its text in the row's font, in pixels
};

// What the font and the system say, in pixels.
struct RowMetrics {
    int32_t textHeight;   // a line of the font
    int32_t checkBoxSize; // the box of a check box
};

struct RowLayout {
    int32_t height;
    std::vector<PixelRect> places; // one per item, left to right; the last one takes what is left
};

RowLayout LayoutTopRow(const std::vector<RowItem>& items, const RowMetrics& metrics, int32_t width);
