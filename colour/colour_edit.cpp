#include "colour/colour_edit.h"

#include <algorithm>

ColourEditState colourEditState;

void LoadColourEditState(const FceColour& entry, ColourEditState* state) {
    state->hue = entry.hue;
    state->saturation = entry.saturation;
    state->value = entry.value;
    state->transparency = entry.transparency;
}

void StoreColourEditState(const ColourEditState& state, FceColour* entry) {
    entry->hue = static_cast<uint8_t>(state.hue);
    entry->saturation = static_cast<uint8_t>(state.saturation);
    entry->value = static_cast<uint8_t>(state.value);
    entry->transparency = static_cast<uint8_t>(state.transparency);
}

namespace {

int32_t ClampComponent(int32_t position) {
    return std::clamp(position, 0, COLOUR_COMPONENT_MAX);
}

} // namespace

int32_t NextScrollPosition(int32_t position, int32_t trackPosition, uint16_t request) {
    // Clamped before stepping, so that no position a scroll bar reports can overflow.
    const int32_t from = ClampComponent(position);
    switch (request) {
    case SCROLL_LINE_UP: return ClampComponent(from - SCROLL_LINE_STEP);
    case SCROLL_LINE_DOWN: return ClampComponent(from + SCROLL_LINE_STEP);
    case SCROLL_PAGE_UP: return ClampComponent(from - SCROLL_PAGE_STEP);
    case SCROLL_PAGE_DOWN: return ClampComponent(from + SCROLL_PAGE_STEP);
    case SCROLL_THUMB_POSITION:
    case SCROLL_THUMB_TRACK: return ClampComponent(trackPosition);
    case SCROLL_TOP: return 0;
    case SCROLL_BOTTOM: return COLOUR_COMPONENT_MAX;
    default: return from;
    }
}
