#include "colour/edit_colour_dialog.h"

#include "colour/colour_edit.h"
#include "colour/swatch.h"
#include "resources/resource.h"

static_assert(SB_LINEUP == SCROLL_LINE_UP && SB_LINEDOWN == SCROLL_LINE_DOWN && SB_PAGEUP == SCROLL_PAGE_UP &&
              SB_PAGEDOWN == SCROLL_PAGE_DOWN && SB_THUMBPOSITION == SCROLL_THUMB_POSITION &&
              SB_THUMBTRACK == SCROLL_THUMB_TRACK && SB_TOP == SCROLL_TOP && SB_BOTTOM == SCROLL_BOTTOM);
static_assert(sizeof(SCROLLINFO) == 28);

namespace {

struct ColourChannel {
    int scrollId;
    int numberId;
    uint32_t ColourEditState::*field;
};

const ColourChannel CHANNELS[] = {
    {IDC_HUE_SCROLL, IDC_HUE_NUMBER, &ColourEditState::hue},
    {IDC_SATURATION_SCROLL, IDC_SATURATION_NUMBER, &ColourEditState::saturation},
    {IDC_VALUE_SCROLL, IDC_VALUE_NUMBER, &ColourEditState::value},
    {IDC_TRANSPARENCY_SCROLL, IDC_TRANSPARENCY_NUMBER, &ColourEditState::transparency},
};

void InitialiseEditColour(HWND dialog) {
    for (const ColourChannel& channel : CHANNELS) {
        // Page size 1 lets the thumb reach 255.
        SCROLLINFO info = {sizeof info,
                           SIF_RANGE | SIF_PAGE | SIF_POS,
                           0,
                           COLOUR_COMPONENT_MAX,
                           1,
                           static_cast<int>(colourEditState.*channel.field),
                           0};
        SetScrollInfo(GetDlgItem(dialog, channel.scrollId), SB_CTL, &info, FALSE);
        SetDlgItemInt(dialog, channel.numberId, colourEditState.*channel.field, FALSE);
    }
}

BOOL Scroll(HWND dialog, HWND bar, WORD request) {
    const ColourChannel* moved = nullptr;
    for (const ColourChannel& channel : CHANNELS) {
        if (GetDlgItem(dialog, channel.scrollId) == bar) {
            moved = &channel;
            break;
        }
    }
    if (!moved) {
        return FALSE;
    }
    SCROLLINFO info = {sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(bar, SB_CTL, &info);
    const int32_t position = NextScrollPosition(info.nPos, info.nTrackPos, request);
    SCROLLINFO update = {sizeof update, SIF_POS, 0, 0, 0, position, 0};
    SetScrollInfo(bar, SB_CTL, &update, TRUE);
    SetDlgItemInt(dialog, moved->numberId, static_cast<UINT>(position), FALSE);
    colourEditState.*moved->field = static_cast<uint32_t>(position);
    InvalidateRect(GetDlgItem(dialog, IDC_PREVIEW), nullptr, FALSE);
    // The preview is painted from the dialog's own paint message, so the dialog needs one.
    RECT corner;
    SetRect(&corner, 0, 0, 1, 1);
    InvalidateRect(dialog, &corner, FALSE);
    return TRUE;
}

} // namespace

INT_PTR CALLBACK EditColourDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: InitialiseEditColour(dialog); return TRUE;
    case WM_VSCROLL: return Scroll(dialog, reinterpret_cast<HWND>(lParam), LOWORD(wParam));
    case WM_PAINT:
        PaintSwatch(GetDlgItem(dialog, IDC_PREVIEW), colourEditState.hue, colourEditState.saturation,
                    colourEditState.value, colourEditState.transparency);
        return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: EndDialog(dialog, 1); return TRUE;
        case IDCANCEL: EndDialog(dialog, 0); return TRUE;
        default: return FALSE;
        }
    default: return FALSE;
    }
}
