#include "colour/colour_conversion.h"
#include "colour/colour_edit.h"
#include "colour/colours_editor.h"
#include "colour/swatch.h"
#include "platform/win32_handles.h"
#include "tests/gui/main_window_fixture.h"
#include "tests/gui/modal_steps.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

const int LISTS[] = {1019, 1020, 1021, 1022};
FceColour* const TABLES[] = {carModel.header.primaryColours, carModel.header.interiorColours,
                             carModel.header.secondaryColours, carModel.header.driverHairColours};
const struct {
    int scrollId, numberId;
    uint32_t ColourEditState::*field;
} CHANNELS[] = {
    {IDC_HUE_SCROLL, IDC_HUE_NUMBER, &ColourEditState::hue},
    {IDC_SATURATION_SCROLL, IDC_SATURATION_NUMBER, &ColourEditState::saturation},
    {IDC_VALUE_SCROLL, IDC_VALUE_NUMBER, &ColourEditState::value},
    {IDC_TRANSPARENCY_SCROLL, IDC_TRANSPARENCY_NUMBER, &ColourEditState::transparency},
};

// Reads a painted swatch back pixel by pixel: the fill everywhere but the word, and the word
// in the text colour in the middle. Pixels of neither colour may only smooth the letters.
void ExpectSwatch(HWND control, COLORREF fill, COLORREF text, const std::string& what) {
    RECT client, word = {INT_MAX, INT_MAX, INT_MIN, INT_MIN}, other = word;
    GetClientRect(control, &client);
    int fillPixels = 0, textPixels = 0, otherPixels = 0;
    HDC dc = GetDC(control);
    for (int y = 0; y < client.bottom; ++y) {
        for (int x = 0; x < client.right; ++x) {
            const COLORREF pixel = GetPixel(dc, x, y);
            if (pixel == fill) {
                ++fillPixels;
                continue;
            }
            RECT* box = pixel == text ? &word : &other;
            ++(pixel == text ? textPixels : otherPixels);
            *box = {std::min<LONG>(box->left, x), std::min<LONG>(box->top, y),
                    std::max<LONG>(box->right, x + 1), std::max<LONG>(box->bottom, y + 1)};
        }
    }
    ReleaseDC(control, dc);
    if (fill == text) {
        EXPECT_EQ(fillPixels, client.right * client.bottom) << what << ": the word cannot be seen";
        return;
    }
    EXPECT_GT(fillPixels, client.right * client.bottom / 2) << what;
    EXPECT_GT(textPixels, 20) << what;
    EXPECT_LE(std::abs(word.left + word.right - client.right), 6) << what << ": centred across";
    EXPECT_LE(std::abs(word.top + word.bottom - client.bottom), 6) << what << ": centred down";
    EXPECT_TRUE(otherPixels == 0 || (other.left >= word.left - 1 && other.right <= word.right + 1 &&
                                     other.top >= word.top - 1 && other.bottom <= word.bottom + 1))
        << what << ": " << otherPixels << " pixels of neither colour away from the word";
}

void ExpectSwatchOf(HWND control, const FceColour& c, const std::string& what) {
    ScreenColour fill, text;
    SwatchColours(c.hue, c.saturation, c.value, c.transparency, &fill, &text);
    ExpectSwatch(control, RGB(fill.red, fill.green, fill.blue), RGB(text.red, text.green, text.blue), what);
}

void Scroll(HWND dialog, int scrollId, WORD request) {
    SendMessageA(dialog, WM_VSCROLL, MAKEWPARAM(request, 0),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, scrollId)));
}

// The editor runs modelessly, so that the test can look at it between commands.
class ColoursEditorTest : public ::testing::Test {
  protected:
    void SetUp() override { ReleaseCarModel(); }
    void TearDown() override {
        DestroyWindow(editor);
        ReleaseCarModel();
    }
    // Rows whose every byte differs, saturated enough to be told apart on screen.
    void Open(uint32_t count) {
        carModel.header.colourCount = count;
        for (int k = 0; k < 4; ++k) {
            for (int i = 0; i < 16; ++i) {
                TABLES[k][i] = {uint8_t(40 * k + 13 * i), uint8_t(200 + i), uint8_t(230 - 3 * k),
                                uint8_t(10 * i)};
            }
        }
        answerer.Then([](HWND) {}); // the editor itself; the next handlers answer what it opens
        editor = CreateDialogParamA(appInstance, MAKEINTRESOURCEA(IDD_COLOURS_EDITOR), nullptr,
                                    ColoursEditorDialog, 0);
        ASSERT_NE(editor, nullptr);
        ShowWindow(editor, SW_SHOW);
        PumpMessages();
    }
    // Every list shows its table row for row, all four select the same row (-1: none), and
    // the swatches show that row's colours.
    void ExpectInStep(int selected) {
        for (int k = 0; k < 4; ++k) {
            std::vector<std::string> rows;
            for (uint32_t i = 0; i < carModel.header.colourCount; ++i) {
                const FceColour& c = TABLES[k][i];
                rows.push_back(std::to_string(c.hue) + ", " + std::to_string(c.saturation) + ", " +
                               std::to_string(c.value) + ", " + std::to_string(c.transparency));
            }
            EXPECT_EQ(ListEntries(editor, LISTS[k]), rows) << "list " << LISTS[k];
            EXPECT_EQ(ListSelection(editor, LISTS[k]), selected < 0 ? LB_ERR : selected) << LISTS[k];
        }
        PumpMessages();
        for (int k = 0; k < 4 && selected >= 0; ++k) {
            ExpectSwatchOf(GetDlgItem(editor, 1040 + k), TABLES[k][selected], "swatch " + std::to_string(k));
        }
    }
    HWND editor = nullptr;
    DialogAnswerer answerer;
};

TEST(ColoursTemplatesTest, EditorMatchesItsDescription) {
    DialogTemplate t = ReadDialogTemplate(IDD_COLOURS_EDITOR);
    ExpectDialogFrame(t, "Colors editor", 20, 20, 340, 165);
    const char* labels[] = {"Primary", "Interior", "Secondary", "Driver hair"};
    const int labelWidths[] = {24, 22, 35, 33};
    const DWORD list = LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP;
    std::vector<ExpectedControl> controls;
    for (int k = 0; k < 4; ++k) {
        const int x = 4 + 84 * k;
        controls.push_back({-1, "Static", labels[k], x, 4, labelWidths[k], 8});
        controls.push_back({LISTS[k], "ListBox", "", x, 16, 80, 76, list});
        controls.push_back({1036 + k, "Button", "Edit", x, 96, 80, 14, WS_TABSTOP});
        controls.push_back({1040 + k, "Static", "", x, 112, 80, 20});
    }
    controls.push_back({IDCANCEL, "Button", "Close", 284, 140, 50, 14, WS_TABSTOP});
    controls.push_back({1044, "Button", "Add color", 12, 144, 50, 14, WS_TABSTOP});
    controls.push_back({1045, "Button", "Delete color", 64, 144, 50, 14, WS_TABSTOP});
    ExpectControls(t, controls);
    // Single selection, unsorted; no default button; only the swatches are sunken.
    for (const TemplateItem& item : t.items) {
        if (item.className == "ListBox") {
            EXPECT_EQ(item.style & (LBS_SORT | LBS_MULTIPLESEL | LBS_EXTENDEDSEL), 0u) << item.id;
        }
        if (item.className == "Button") {
            EXPECT_EQ(item.style & BS_TYPEMASK, DWORD(BS_PUSHBUTTON)) << item.id;
        }
        EXPECT_EQ((item.exStyle & WS_EX_CLIENTEDGE) != 0, item.id >= 1040 && item.id <= 1043) << item.id;
    }
}

TEST(ColoursTemplatesTest, EditColourMatchesItsDescription) {
    DialogTemplate t = ReadDialogTemplate(IDD_EDIT_COLOUR);
    ExpectDialogFrame(t, "Edit color", 50, 5, 240, 133);
    const char* labels[] = {"Hue", "Saturation", "Value"};
    const DWORD number = ES_READONLY | ES_CENTER | WS_BORDER;
    std::vector<ExpectedControl> controls;
    for (int c = 0; c < 4; ++c) {
        controls.push_back(
            {CHANNELS[c].scrollId, "ScrollBar", "", 24 + 40 * c, 20, 12, 88, SBS_VERT | WS_TABSTOP});
    }
    controls.push_back({IDOK, "Button", "OK", 176, 4, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP});
    controls.push_back({IDCANCEL, "Button", "Cancel", 176, 20, 50, 14, WS_TABSTOP});
    for (int c = 0; c < 3; ++c) {
        controls.push_back({-1, "Static", labels[c], 12 + 40 * c, 8, 34, 8, SS_CENTER});
    }
    for (int c = 0; c < 3; ++c) {
        controls.push_back({CHANNELS[c].numberId, "Edit", "", 12 + 40 * c, 112, 34, 14, number});
    }
    controls.push_back({IDC_PREVIEW, "Static", "", 176, 40, 52, 84});
    controls.push_back({-1, "Static", "Transparency", 128, 8, 44, 8, SS_CENTER});
    controls.push_back({IDC_TRANSPARENCY_NUMBER, "Edit", "", 132, 112, 34, 14, number});
    ExpectControls(t, controls);
    for (const TemplateItem& item : t.items) {
        EXPECT_EQ((item.exStyle & WS_EX_CLIENTEDGE) != 0, item.id == IDC_PREVIEW) << item.id;
        if (item.className == "Button") {
            EXPECT_EQ((item.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON, item.id == IDOK) << item.id;
        }
    }
}

TEST_F(ColoursEditorTest, OpensWithoutColoursAndAddsTheFirst) {
    Open(0);
    ExpectInStep(-1);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    ExpectSwatch(GetDlgItem(editor, 1040), face, face, "unpainted");
    SendCommand(editor, 1036);
    SendCommand(editor, IDC_DELETE_COLOUR);
    EXPECT_EQ(answerer.captions, std::vector<std::string>{"Colors editor"}) << "Edit without a row";

    SendCommand(editor, IDC_ADD_COLOUR);
    EXPECT_EQ(ListEntries(editor, 1022), std::vector<std::string>{"128, 128, 128, 128"});
    ExpectInStep(0);
    ExpectSwatch(GetDlgItem(editor, 1043), RGB(63, 127, 128), RGB(31, 63, 64), "new colour");
}

TEST_F(ColoursEditorTest, OpensAtRowZeroAndKeepsTheListsOnOneRow) {
    Open(3);
    ExpectInStep(0);
    SelectByUser(editor, 1021, 2);
    ExpectInStep(2);
    SelectByUser(editor, 1019, 1);
    ExpectInStep(1);
    // Other notifications of a list change nothing.
    SendDlgItemMessageA(editor, 1020, LB_SETCURSEL, 0, 0);
    SendCommand(editor, 1020, LBN_DBLCLK);
    EXPECT_EQ(ListSelection(editor, 1019), 1);
}

// The colour edit dialog opens on the entry; each bar moves its own number, state field and
// the preview; OK stores the state into that entry alone, in place.
TEST_F(ColoursEditorTest, EditWithOkChangesOnlyThatEntryAndItsRow) {
    Open(3);
    SelectByUser(editor, 1020, 1);
    FceKeshHeader expected = carModel.header;
    const FceColour old = expected.interiorColours[1];
    const int start[] = {old.hue, old.saturation, old.value, old.transparency};
    const int moved[] = {old.hue - 1, old.saturation + 1, old.value - 10, old.transparency + 10};
    const FceColour edited = {uint8_t(moved[0]), uint8_t(moved[1]), uint8_t(moved[2]), uint8_t(moved[3])};
    AnswerWithStep(answerer, editor, [&](HWND dialog) {
        EXPECT_EQ(GetWindow(dialog, GW_OWNER), editor);
        ShowWindow(dialog, SW_SHOW); // the dialog's loop would show it only once it first goes idle
        PumpMessages();
        ExpectSwatchOf(GetDlgItem(dialog, IDC_PREVIEW), old, "preview on opening");
        EXPECT_EQ(FocusInDialog(dialog), GetDlgItem(dialog, IDC_HUE_SCROLL));
        SCROLLINFO info = {sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
        GetScrollInfo(GetDlgItem(dialog, IDC_VALUE_SCROLL), SB_CTL, &info);
        EXPECT_EQ((std::vector<int>{info.nMin, info.nMax, int(info.nPage)}), (std::vector<int>{0, 255, 1}))
            << "page size 1 lets the thumb reach 255";
        const WORD requests[] = {SB_LINEUP, SB_LINEDOWN, SB_PAGEUP, SB_PAGEDOWN};
        for (int c = 0; c < 4; ++c) {
            Scroll(dialog, CHANNELS[c].scrollId, requests[c]);
            for (int other = 0; other < 4; ++other) {
                const int want = other <= c ? moved[other] : start[other];
                EXPECT_EQ(GetScrollPos(GetDlgItem(dialog, CHANNELS[other].scrollId), SB_CTL), want);
                EXPECT_EQ(ItemText(dialog, CHANNELS[other].numberId), std::to_string(want))
                    << c << ", " << other;
                EXPECT_EQ(colourEditState.*CHANNELS[other].field, uint32_t(want)) << c << ", " << other;
            }
        }
        PumpMessages();
        ExpectSwatchOf(GetDlgItem(dialog, IDC_PREVIEW), edited, "preview after scrolling");
        // The end of a scroll writes the bar's position back, whatever the state held.
        colourEditState.value = 200;
        SetDlgItemTextA(dialog, IDC_VALUE_NUMBER, "x");
        Scroll(dialog, IDC_VALUE_SCROLL, SB_ENDSCROLL);
        EXPECT_EQ(ItemText(dialog, IDC_VALUE_NUMBER), std::to_string(moved[2]));
        // A scroll from none of the four bars is not the dialog's.
        EXPECT_EQ(SendMessageA(dialog, WM_VSCROLL, SB_LINEDOWN, 0), FALSE);
        ClickNow(dialog, IDOK);
    });
    SendCommand(editor, 1037);
    expected.interiorColours[1] = edited;
    EXPECT_EQ(std::memcmp(&carModel.header, &expected, sizeof expected), 0) << "only that entry changed";
    ExpectInStep(1);
}

TEST_F(ColoursEditorTest, EditWithCancelAfterScrollingChangesNothing) {
    Open(2);
    const FceKeshHeader before = carModel.header;
    AnswerWithStep(answerer, editor, [](HWND dialog) {
        Scroll(dialog, IDC_HUE_SCROLL, SB_PAGEDOWN);
        ClickNow(dialog, IDCANCEL);
    });
    SendCommand(editor, 1039);
    EXPECT_EQ(colourEditState.hue, before.driverHairColours[0].hue + 10u) << "the dialog did scroll";
    EXPECT_EQ(std::memcmp(&carModel.header, &before, sizeof before), 0);
    ExpectInStep(0);
}

TEST_F(ColoursEditorTest, AddsUpToSixteen) {
    Open(15);
    SendCommand(editor, IDC_ADD_COLOUR);
    EXPECT_EQ(ListEntries(editor, 1021).back(), "128, 128, 128, 128");
    SendCommand(editor, IDC_ADD_COLOUR); // the seventeenth changes nothing
    EXPECT_EQ(carModel.header.colourCount, 16u);
    ExpectInStep(15);
}

TEST_F(ColoursEditorTest, DeletesTheSelectedRowUpToTheOnlyOne) {
    Open(3);
    SelectByUser(editor, 1020, 1); // Delete takes the row that all four lists select
    const FceColour first = TABLES[2][0], last = TABLES[2][2];
    SendCommand(editor, IDC_DELETE_COLOUR);
    EXPECT_EQ(carModel.header.colourCount, 2u);
    EXPECT_EQ(std::memcmp(&TABLES[2][0], &first, 4) | std::memcmp(&TABLES[2][1], &last, 4), 0);
    ExpectInStep(0);
    SendCommand(editor, IDC_DELETE_COLOUR);
    SendCommand(editor, IDC_DELETE_COLOUR);
    EXPECT_EQ(carModel.header.colourCount, 0u);
    ExpectInStep(-1);
}

// The context of a CS_OWNDC window outlives each paint, so what a swatch leaves in it shows.
TEST(PaintSwatchTest, RestoresTheTextColourAndBackgroundMode) {
    WNDCLASSA windowClass = {};
    windowClass.style = CS_OWNDC;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = appInstance;
    windowClass.lpszClassName = "OwnDc";
    ASSERT_NE(RegisterClassA(&windowClass), 0);
    HWND window = CreateWindowA("OwnDc", "", WS_POPUP | WS_VISIBLE, 0, 0, 120, 40, nullptr, nullptr,
                                appInstance, nullptr);
    HDC dc = GetDC(window);
    SetTextColor(dc, RGB(1, 2, 3));
    SetBkMode(dc, OPAQUE);
    InvalidateRect(window, nullptr, FALSE);
    PaintSwatch(window, 0, 255, 255, 0);
    EXPECT_EQ(GetTextColor(dc), RGB(1, 2, 3));
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    ReleaseDC(window, dc);
    ExpectSwatch(window, RGB(255, 0, 0), RGB(0, 0, 0), "own DC");
    DestroyWindow(window);
}

using ColoursEditorFromMainWindowTest = MainWindowFixture;

TEST_F(ColoursEditorFromMainWindowTest, RunsModallyOverTheMainWindowAndChangesTheCar) {
    Open(SmallCar());
    DialogAnswerer answerer;
    HWND owner = nullptr;
    answerer.Then([&](HWND editor) {
        owner = GetWindow(editor, GW_OWNER);
        PostClick(editor, IDC_ADD_COLOUR);
        PostClick(editor, IDOK); // Enter: there is no default button, so nothing happens
        PostClick(editor, IDC_ADD_COLOUR);
        PostClick(editor, IDCANCEL);
    });
    SendCommand(window, IDC_COLOURS_EDITOR);
    EXPECT_EQ(answerer.captions, std::vector<std::string>{"Colors editor"});
    EXPECT_EQ(owner, window);
    EXPECT_EQ(carModel.header.colourCount, 5u);
}

} // namespace
