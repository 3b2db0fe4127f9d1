// The colour being edited, shared by the colours editor and the colour edit dialog, and
// the rule by which the dialog's scroll bars move.
#pragma once

#include "model/car_model.h"

#include <cstdint>

// Each field 0..255, held in the scroll bar of the same name.
struct ColourEditState {
    uint32_t hue;
    uint32_t saturation;
    uint32_t value;
    uint32_t transparency;
};

extern ColourEditState colourEditState;

void LoadColourEditState(const FceColour& entry, ColourEditState* state);
// Only the low byte of each field fits the stored colour.
void StoreColourEditState(const ColourEditState& state, FceColour* entry);

// Scroll requests, numbered as the platform numbers them.
constexpr uint16_t SCROLL_LINE_UP = 0;
constexpr uint16_t SCROLL_LINE_DOWN = 1;
constexpr uint16_t SCROLL_PAGE_UP = 2;
constexpr uint16_t SCROLL_PAGE_DOWN = 3;
constexpr uint16_t SCROLL_THUMB_POSITION = 4;
constexpr uint16_t SCROLL_THUMB_TRACK = 5;
constexpr uint16_t SCROLL_TOP = 6;
constexpr uint16_t SCROLL_BOTTOM = 7;

constexpr int32_t COLOUR_COMPONENT_MAX = 255;
constexpr int32_t SCROLL_LINE_STEP = 1;
constexpr int32_t SCROLL_PAGE_STEP = 10;

// Where a request moves a scroll bar from position (trackPosition while the thumb is
// dragged); always 0..255. Requests that move nothing, such as the end of a scroll, keep
// the position.
int32_t NextScrollPosition(int32_t position, int32_t trackPosition, uint16_t request);
