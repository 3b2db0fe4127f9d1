#include "colour/colour_edit.h"
#include "colour/edit_colour_dialog.h"
#include "colour/swatch.h"
#include "platform/win32_handles.h"
#include "resources/resource.h"
#include "tests/gui/gui_support.h"
#include "tests/gui/modal_steps.h"
#include "tests/gui/swatch_reading.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Channel {
    int scrollId;
    int numberId;
    uint32_t ColourEditState::*field;
};

const Channel CHANNELS[] = {
    {IDC_HUE_SCROLL, IDC_HUE_NUMBER, &ColourEditState::hue},
    {IDC_SATURATION_SCROLL, IDC_SATURATION_NUMBER, &ColourEditState::saturation},
    {IDC_VALUE_SCROLL, IDC_VALUE_NUMBER, &ColourEditState::value},
    {IDC_TRANSPARENCY_SCROLL, IDC_TRANSPARENCY_NUMBER, &ColourEditState::transparency},
};

void PostScroll(HWND dialog, int scrollId, WORD request) {
    PostMessageA(dialog, WM_VSCROLL, MAKEWPARAM(request, 0),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, scrollId)));
}

void SendScroll(HWND dialog, int scrollId, WORD request) {
    SendMessageA(dialog, WM_VSCROLL, MAKEWPARAM(request, 0),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, scrollId)));
}

SCROLLINFO ScrollState(HWND dialog, int scrollId) {
    SCROLLINFO info = {sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(GetDlgItem(dialog, scrollId), SB_CTL, &info);
    return info;
}

COLORREF Rgb(int red, int green, int blue) {
    return RGB(red, green, blue);
}

class EditColourDialogTest : public ::testing::Test {
  protected:
    void TearDown() override {
        if (dialog) {
            DestroyWindow(dialog);
        }
    }
    // Modeless, so that the test can look at the dialog while it runs.
    void Open(ColourEditState state) {
        colourEditState = state;
        dialog =
            CreateDialogParamA(appInstance, MAKEINTRESOURCEA(IDD_EDIT_COLOUR), nullptr, EditColourDialog, 0);
        ASSERT_NE(dialog, nullptr);
        ShowWindow(dialog, SW_SHOW);
        PumpMessages();
    }
    HWND dialog = nullptr;
};

struct ControlDescription {
    int id;
    const char* className;
    const char* text;
    short x, y, cx, cy;
    DWORD requiredStyle;
    DWORD forbiddenStyle;
};

TEST(EditColourTemplateTest, MatchesItsDescription) {
    DialogTemplate t = ReadDialogTemplate(IDD_EDIT_COLOUR);
    EXPECT_TRUE(t.extended);
    EXPECT_EQ(t.caption, "Edit color");
    EXPECT_EQ(t.fontName, "MS Sans Serif");
    EXPECT_EQ(t.fontSize, 8);
    EXPECT_EQ((std::vector<int>{t.x, t.y, t.cx, t.cy}), (std::vector<int>{50, 5, 240, 133}));
    EXPECT_EQ(t.style & (WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME),
              DWORD(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME));
    EXPECT_EQ(t.style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0u);

    const DWORD bar = SBS_VERT | WS_TABSTOP;
    const DWORD number = ES_READONLY | ES_CENTER | WS_BORDER;
    const DWORD notANumber = ES_MULTILINE | WS_TABSTOP;
    const ControlDescription controls[] = {
        {IDC_HUE_SCROLL, "ScrollBar", "", 24, 20, 12, 88, bar, 0},
        {IDC_SATURATION_SCROLL, "ScrollBar", "", 64, 20, 12, 88, bar, 0},
        {IDC_VALUE_SCROLL, "ScrollBar", "", 104, 20, 12, 88, bar, 0},
        {IDC_TRANSPARENCY_SCROLL, "ScrollBar", "", 144, 20, 12, 88, bar, 0},
        {IDOK, "Button", "OK", 176, 4, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP, 0},
        {IDCANCEL, "Button", "Cancel", 176, 20, 50, 14, WS_TABSTOP, BS_DEFPUSHBUTTON},
        {-1, "Static", "Hue", 12, 8, 34, 8, SS_CENTER, 0},
        {-1, "Static", "Saturation", 52, 8, 34, 8, SS_CENTER, 0},
        {-1, "Static", "Value", 92, 8, 34, 8, SS_CENTER, 0},
        {IDC_HUE_NUMBER, "Edit", "", 12, 112, 34, 14, number, notANumber},
        {IDC_SATURATION_NUMBER, "Edit", "", 52, 112, 34, 14, number, notANumber},
        {IDC_VALUE_NUMBER, "Edit", "", 92, 112, 34, 14, number, notANumber},
        {IDC_PREVIEW, "Static", "", 176, 40, 52, 84, 0, 0},
        {-1, "Static", "Transparency", 128, 8, 44, 8, SS_CENTER, 0},
        {IDC_TRANSPARENCY_NUMBER, "Edit", "", 132, 112, 34, 14, number, notANumber},
    };
    ASSERT_EQ(t.items.size(), std::size(controls));
    for (size_t i = 0; i < t.items.size(); ++i) {
        const TemplateItem& item = t.items[i];
        const ControlDescription& c = controls[i];
        EXPECT_EQ(item.id, c.id) << i;
        EXPECT_EQ(item.className, c.className) << i;
        EXPECT_EQ(item.text, c.text) << i;
        EXPECT_EQ((std::vector<int>{item.x, item.y, item.cx, item.cy}),
                  (std::vector<int>{c.x, c.y, c.cx, c.cy}))
            << i;
        EXPECT_EQ(item.style & c.requiredStyle, c.requiredStyle) << i;
        EXPECT_EQ(item.style & c.forbiddenStyle, 0u) << i;
        EXPECT_EQ(item.style & (WS_CHILD | WS_VISIBLE | WS_DISABLED), DWORD(WS_CHILD | WS_VISIBLE)) << i;
        const bool swatch = c.id == IDC_PREVIEW;
        EXPECT_EQ((item.exStyle & WS_EX_CLIENTEDGE) != 0, swatch) << i;
        if (swatch) {
            EXPECT_EQ(item.style & SS_TYPEMASK, DWORD(SS_LEFT)) << "a plain static, painted by the dialog";
        }
    }
}

TEST_F(EditColourDialogTest, OpensOnTheStateWithTheFocusOnHue) {
    Open({12, 34, 255, 0});
    const uint32_t expected[] = {12, 34, 255, 0};
    for (int i = 0; i < 4; ++i) {
        SCROLLINFO info = ScrollState(dialog, CHANNELS[i].scrollId);
        EXPECT_EQ(info.nMin, 0) << i;
        EXPECT_EQ(info.nMax, 255) << i;
        EXPECT_EQ(info.nPage, 1u) << i;
        EXPECT_EQ(info.nPos, static_cast<int>(expected[i])) << i;
        EXPECT_EQ(ItemText(dialog, CHANNELS[i].numberId), std::to_string(expected[i])) << i;
        EXPECT_TRUE(GetWindowLongA(GetDlgItem(dialog, CHANNELS[i].numberId), GWL_STYLE) & ES_READONLY);
    }
    EXPECT_EQ(FocusInDialog(dialog), GetDlgItem(dialog, IDC_HUE_SCROLL));
    EXPECT_EQ(WindowText(dialog), "Edit color");
    EXPECT_EQ(LOWORD(SendMessageA(dialog, DM_GETDEFID, 0, 0)), IDOK);
    // With page size 1 the thumb reaches the last value.
    SendScroll(dialog, IDC_SATURATION_SCROLL, SB_BOTTOM);
    EXPECT_EQ(ScrollState(dialog, IDC_SATURATION_SCROLL).nPos, 255);
}

TEST_F(EditColourDialogTest, EachBarMovesItsNumberAndStateOnly) {
    Open({100, 100, 100, 100});
    const WORD requests[] = {SB_LINEUP, SB_LINEDOWN, SB_PAGEUP, SB_PAGEDOWN};
    const int32_t moved[] = {99, 101, 90, 110};
    for (int i = 0; i < 4; ++i) {
        SendScroll(dialog, CHANNELS[i].scrollId, requests[i]);
        EXPECT_EQ(ScrollState(dialog, CHANNELS[i].scrollId).nPos, moved[i]) << i;
        EXPECT_EQ(ItemText(dialog, CHANNELS[i].numberId), std::to_string(moved[i])) << i;
        EXPECT_EQ(colourEditState.*CHANNELS[i].field, static_cast<uint32_t>(moved[i])) << i;
        for (int j = i + 1; j < 4; ++j) {
            EXPECT_EQ(colourEditState.*CHANNELS[j].field, 100u) << "bar " << i << " moved " << j;
            EXPECT_EQ(ItemText(dialog, CHANNELS[j].numberId), "100");
        }
    }
}

TEST_F(EditColourDialogTest, ScrollingStopsAtTheEnds) {
    Open({0, 255, 5, 250});
    SendScroll(dialog, IDC_HUE_SCROLL, SB_LINEUP);
    SendScroll(dialog, IDC_SATURATION_SCROLL, SB_LINEDOWN);
    SendScroll(dialog, IDC_VALUE_SCROLL, SB_PAGEUP);
    SendScroll(dialog, IDC_TRANSPARENCY_SCROLL, SB_PAGEDOWN);
    EXPECT_EQ(ItemText(dialog, IDC_HUE_NUMBER), "0");
    EXPECT_EQ(ItemText(dialog, IDC_SATURATION_NUMBER), "255");
    EXPECT_EQ(ItemText(dialog, IDC_VALUE_NUMBER), "0");
    EXPECT_EQ(ItemText(dialog, IDC_TRANSPARENCY_NUMBER), "255");
    EXPECT_EQ(colourEditState.value, 0u);
    EXPECT_EQ(colourEditState.transparency, 255u);
    SendScroll(dialog, IDC_HUE_SCROLL, SB_BOTTOM);
    SendScroll(dialog, IDC_TRANSPARENCY_SCROLL, SB_TOP);
    EXPECT_EQ(colourEditState.hue, 255u);
    EXPECT_EQ(colourEditState.transparency, 0u);
}

TEST_F(EditColourDialogTest, EndOfScrollStillRewritesNumberAndState) {
    Open({40, 50, 60, 70});
    // Someone else changed the state: the end of a scroll writes the bar's position back.
    colourEditState.value = 200;
    SetDlgItemTextA(dialog, IDC_VALUE_NUMBER, "x");
    SendScroll(dialog, IDC_VALUE_SCROLL, SB_ENDSCROLL);
    EXPECT_EQ(colourEditState.value, 60u);
    EXPECT_EQ(ItemText(dialog, IDC_VALUE_NUMBER), "60");
}

TEST_F(EditColourDialogTest, ScrollFromElsewhereIsIgnored) {
    Open({40, 50, 60, 70});
    EXPECT_EQ(SendMessageA(dialog, WM_VSCROLL, SB_LINEDOWN, 0), FALSE);
    EXPECT_EQ(
        SendMessageA(dialog, WM_VSCROLL, SB_LINEDOWN, reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK))),
        FALSE);
    EXPECT_EQ(colourEditState.hue, 40u);
    EXPECT_EQ(colourEditState.saturation, 50u);
}

TEST_F(EditColourDialogTest, PreviewShowsTheColourAndTheShadedWord) {
    Open({128, 128, 128, 128});
    HWND preview = GetDlgItem(dialog, IDC_PREVIEW);
    SwatchReading reading = ReadSwatch(preview, Rgb(63, 127, 128), Rgb(31, 63, 64));
    EXPECT_TRUE(reading.FilledAroundText());
    EXPECT_GT(reading.textPixels, 20);
    EXPECT_TRUE(reading.TextCentred());
    EXPECT_LT(reading.textBox.bottom - reading.textBox.top, reading.height / 2) << "one line";
}

TEST_F(EditColourDialogTest, ScrollingRepaintsThePreview) {
    Open({43, 255, 255, 255});
    HWND preview = GetDlgItem(dialog, IDC_PREVIEW);
    // Transparency 255: the word has the colour of the fill and cannot be seen.
    SwatchReading hidden = ReadSwatch(preview, Rgb(252, 255, 0), Rgb(252, 255, 0));
    EXPECT_EQ(hidden.fillPixels, hidden.width * hidden.height);

    SendScroll(dialog, IDC_TRANSPARENCY_SCROLL, SB_TOP);
    SendScroll(dialog, IDC_HUE_SCROLL, SB_LINEUP);
    PumpMessages();
    SwatchReading black = ReadSwatch(preview, Rgb(255, 251, 0), Rgb(0, 0, 0));
    EXPECT_TRUE(black.FilledAroundText()) << "hue 42 fills the whole preview";
    EXPECT_GT(black.textPixels, 20);
    EXPECT_TRUE(black.TextCentred());
}

// Modal runs, answered through the dialog's own message loop.
class EditColourModalTest : public ::testing::Test {
  protected:
    INT_PTR Run(ColourEditState state) {
        colourEditState = state;
        return DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_EDIT_COLOUR), nullptr, EditColourDialog, 0);
    }
    DialogAnswerer answerer;
};

TEST_F(EditColourModalTest, OkGivesOneWithTheScrolledState) {
    answerer.Then([](HWND dialog) {
        PostScroll(dialog, IDC_HUE_SCROLL, SB_LINEDOWN);
        PostScroll(dialog, IDC_SATURATION_SCROLL, SB_PAGEUP);
        PostScroll(dialog, IDC_VALUE_SCROLL, SB_BOTTOM);
        PostScroll(dialog, IDC_TRANSPARENCY_SCROLL, SB_TOP);
        PostClick(dialog, IDOK);
    });
    EXPECT_EQ(Run({1, 20, 3, 4}), 1);
    EXPECT_EQ(colourEditState.hue, 2u);
    EXPECT_EQ(colourEditState.saturation, 10u);
    EXPECT_EQ(colourEditState.value, 255u);
    EXPECT_EQ(colourEditState.transparency, 0u);
    EXPECT_EQ(answerer.captions, std::vector<std::string>{"Edit color"});
}

TEST_F(EditColourModalTest, CancelGivesZeroAndKeepsWhatWasScrolled) {
    answerer.Then([](HWND dialog) {
        PostScroll(dialog, IDC_VALUE_SCROLL, SB_LINEUP);
        PostClick(dialog, IDCANCEL);
    });
    EXPECT_EQ(Run({1, 2, 3, 4}), 0);
    EXPECT_EQ(colourEditState.value, 2u);
}

TEST_F(EditColourModalTest, EnterChoosesOkAndEscapeCancel) {
    const struct {
        WPARAM key;
        INT_PTR result;
    } keys[] = {{VK_RETURN, 1}, {VK_ESCAPE, 0}};
    for (const auto& key : keys) {
        answerer.Then([&](HWND dialog) {
            HWND focus = GetDlgItem(dialog, IDC_HUE_SCROLL);
            PostMessageA(focus, WM_KEYDOWN, key.key, 1);
            PostMessageA(focus, WM_KEYUP, key.key, 0xC0000001);
        });
        EXPECT_EQ(Run({5, 5, 5, 5}), key.result) << key.key;
    }
    EXPECT_EQ(answerer.unexpected, 0);
}

TEST_F(EditColourModalTest, CloseBoxCancels) {
    answerer.Then([](HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); });
    EXPECT_EQ(Run({5, 5, 5, 5}), 0);
    EXPECT_EQ(answerer.unexpected, 0);
}

// A window whose device context outlives each paint, so that what a swatch leaves in the
// context can be seen afterwards.
LRESULT CALLBACK OwnDcWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST(PaintSwatchTest, RestoresTheTextColourAndBackgroundMode) {
    WNDCLASSA windowClass = {};
    windowClass.style = CS_OWNDC;
    windowClass.lpfnWndProc = OwnDcWndProc;
    windowClass.hInstance = appInstance;
    windowClass.lpszClassName = "SwatchOwnDcTest";
    ASSERT_NE(RegisterClassA(&windowClass), 0);
    HWND window = CreateWindowA("SwatchOwnDcTest", "", WS_POPUP | WS_VISIBLE, 0, 0, 120, 40, nullptr, nullptr,
                                appInstance, nullptr);
    ASSERT_NE(window, nullptr);
    HDC dc = GetDC(window);
    SetTextColor(dc, RGB(1, 2, 3));
    SetBkMode(dc, OPAQUE);
    ReleaseDC(window, dc);

    InvalidateRect(window, nullptr, FALSE);
    PaintSwatch(window, 0, 255, 255, 0);
    dc = GetDC(window);
    EXPECT_EQ(GetTextColor(dc), RGB(1, 2, 3));
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    ReleaseDC(window, dc);
    SwatchReading reading = ReadSwatch(window, RGB(255, 0, 0), RGB(0, 0, 0));
    EXPECT_TRUE(reading.FilledAroundText());
    EXPECT_TRUE(reading.TextCentred());
    DestroyWindow(window);
    UnregisterClassA("SwatchOwnDcTest", appInstance);
}

} // namespace
