// The colours editor and the colour edit dialog, run from the main window over a car.
#include "colour/colour_conversion.h"
#include "model/car_model.h"
#include "tests/gui/main_window_fixture.h"

#include <algorithm>

namespace {

const int LISTS[] = {1019, 1020, 1021, 1022};
FceColour* const TABLES[] = {carModel.header.primaryColours, carModel.header.interiorColours,
                             carModel.header.secondaryColours, carModel.header.driverHairColours};
const int SCROLLS[] = {IDC_HUE_SCROLL, IDC_SATURATION_SCROLL, IDC_VALUE_SCROLL, IDC_TRANSPARENCY_SCROLL};
const int NUMBERS[] = {IDC_HUE_NUMBER, IDC_SATURATION_NUMBER, IDC_VALUE_NUMBER, IDC_TRANSPARENCY_NUMBER};

std::string RowText(const FceColour& c) {
    return std::to_string(c.hue) + ", " + std::to_string(c.saturation) + ", " + std::to_string(c.value) +
           ", " + std::to_string(c.transparency);
}

// The fill, and across the middle row the word in the text colour, centred.
void ExpectSwatch(HWND control, const FceColour& c) {
    PumpMessages();
    ScreenColour fill, text;
    SwatchColours(c.hue, c.saturation, c.value, c.transparency, &fill, &text);
    RECT client;
    GetClientRect(control, &client);
    HDC dc = GetDC(control);
    EXPECT_EQ(GetPixel(dc, 1, 1), RGB(fill.red, fill.green, fill.blue)) << RowText(c);
    LONG left = client.right, right = 0;
    for (LONG x = 0; x < client.right; ++x) {
        if (GetPixel(dc, x, client.bottom / 2) == RGB(text.red, text.green, text.blue)) {
            left = std::min(left, x);
            right = x;
        }
    }
    ReleaseDC(control, dc);
    EXPECT_GT(right - left, client.right / 4) << RowText(c);
    EXPECT_LE(std::abs(left + right - client.right), 8) << RowText(c);
}

using ColoursEditorTest = MainWindowFixture;

// Every change reaches the car at once; the info text keeps the count of the last open.
TEST_F(ColoursEditorTest, EditsTheFourTablesOfTheCar) {
    Open(SmallCar());
    for (int k = 0; k < 4; ++k) {
        for (int i = 0; i < 3; ++i) { // every byte differs, and the fills are told apart on screen
            TABLES[k][i] = {uint8_t(40 * k + 13 * i), uint8_t(200 + i), uint8_t(230 - 3 * k),
                            uint8_t(50 * i + 10)};
        }
    }
    auto expectInStep = [](HWND editor, int selected) {
        for (int k = 0; k < 4; ++k) {
            std::vector<std::string> rows;
            for (uint32_t i = 0; i < carModel.header.colourCount; ++i) {
                rows.push_back(RowText(TABLES[k][i]));
            }
            EXPECT_EQ(ListEntries(editor, LISTS[k]), rows) << k;
            EXPECT_EQ(ListSelection(editor, LISTS[k]), selected < 0 ? LB_ERR : selected) << k;
            if (selected >= 0) {
                ExpectSwatch(GetDlgItem(editor, 1040 + k), TABLES[k][selected]);
            }
        }
    };
    const FceKeshHeader opened = carModel.header;
    FceColour edited = opened.interiorColours[1];
    edited.hue -= 1, edited.saturation += 1, edited.value -= 10, edited.transparency += 10;
    DialogAnswerer answerer;
    HWND editorWindow = nullptr;
    answerer.Then([&](HWND editor) {
        EXPECT_EQ(GetWindow(editorWindow = editor, GW_OWNER), window);
        expectInStep(editor, 0);
        SelectByUser(editor, 1021, 2);
        expectInStep(editor, 2);
        SelectByUser(editor, 1020, 1);
        ClickNow(editor, 1037); // "Edit" under Interior: OK
        FceKeshHeader expected = opened;
        expected.interiorColours[1] = edited;
        EXPECT_EQ(AsBytes(&carModel.header, 1), AsBytes(&expected, 1)) << "that entry alone";
        expectInStep(editor, 1);
        for (int n = 0; n < 14; ++n) {
            ClickNow(editor, IDC_ADD_COLOUR);
        }
        expectInStep(editor, 15);
        EXPECT_EQ(ListEntries(editor, 1022)[15], "128, 128, 128, 128");
        SelectByUser(editor, 1020, 1);
        ClickNow(editor, IDC_DELETE_COLOUR);
        EXPECT_EQ(RowText(TABLES[2][1]), RowText(expected.secondaryColours[2])) << "the rows below move up";
        expectInStep(editor, 0);
        for (int n = 0; n < 16; ++n) {
            ClickNow(editor, IDC_DELETE_COLOUR);
        }
        expectInStep(editor, -1);
        ClickNow(editor, IDCANCEL);
    });
    answerer.Then([&](HWND dialog) {
        EXPECT_EQ(GetWindow(dialog, GW_OWNER), editorWindow);
        ExpectSwatch(GetDlgItem(dialog, IDC_PREVIEW), opened.interiorColours[1]);
        const WORD requests[] = {SB_LINEUP, SB_LINEDOWN, SB_PAGEUP, SB_PAGEDOWN};
        const uint8_t wanted[] = {edited.hue, edited.saturation, edited.value, edited.transparency};
        for (int c = 0; c < 4; ++c) {
            SendMessageA(dialog, WM_VSCROLL, requests[c],
                         reinterpret_cast<LPARAM>(GetDlgItem(dialog, SCROLLS[c])));
            EXPECT_EQ(GetScrollPos(GetDlgItem(dialog, SCROLLS[c]), SB_CTL), wanted[c]);
            EXPECT_EQ(ItemText(dialog, NUMBERS[c]), std::to_string(wanted[c]));
        }
        ExpectSwatch(GetDlgItem(dialog, IDC_PREVIEW), edited);
        EXPECT_EQ(SendMessageA(dialog, WM_VSCROLL, SB_LINEDOWN, 0), FALSE) << "not one of its bars";
        ClickNow(dialog, IDOK);
    });
    SendCommand(window, IDC_COLOURS_EDITOR);
    EXPECT_EQ(answerer.captions, (std::vector<std::string>{"Colors editor", "Edit color"}));
    EXPECT_NE(ItemText(window, IDC_INFO_TEXT).find("Number of colors=3"), std::string::npos);
}

} // namespace
