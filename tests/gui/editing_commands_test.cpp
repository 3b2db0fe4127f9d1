// Editing the car from the main window: part and dummy names, colour tables, the driver's vertices.
#include "colour/colour_conversion.h"
#include "driver/driver_view.h"
#include "mainwin/part_codes.h"
#include "model/car_model.h"
#include "tests/gui/main_window_fixture.h"

#include <algorithm>
#include <cstring>
#include <functional>

namespace {

const COLORREF RED = RGB(255, 0, 0), GREEN = RGB(0, 255, 0), BLACK = RGB(0, 0, 0);
const COLORREF BACKGROUND = GetSysColor(COLOR_WINDOW), INVERTED = BACKGROUND ^ 0xFFFFFF;

class EditingCommandsTest : public MainWindowFixture {
  protected:
    void Choose(int button, std::function<void(HWND)> step) {
        DialogAnswerer answerer;
        answerer.Then(std::move(step));
        SendCommand(window, button);
    }
    // Typed text is committed when the field loses the focus; a keystroke marks the field changed.
    void Type(int fieldId, const std::string& text, int nextFocus) {
        SetFocus(GetDlgItem(window, fieldId));
        SetDlgItemTextA(window, fieldId, text.c_str());
        SendDlgItemMessageA(window, fieldId, EM_SETMODIFY, TRUE, 0);
        SetFocus(GetDlgItem(window, nextFocus));
        PumpMessages();
    }
    // The lists and the car's names agree, to the last byte of each name.
    void ExpectNames(const std::vector<std::string>& parts, const std::vector<std::string>& dummies) {
        EXPECT_EQ(ListEntries(window, IDC_PART_LIST), parts);
        EXPECT_EQ(ListEntries(window, IDC_DUMMY_LIST), dummies);
        const FceKeshHeader& header = carModel.header;
        for (size_t i = 0; i < parts.size() + dummies.size(); ++i) {
            const bool part = i < parts.size();
            const std::string& name = part ? parts[i] : dummies[i - parts.size()];
            EXPECT_EQ(
                std::string(part ? header.partNames[i] : header.dummyNames[i - parts.size()], NAME_SIZE),
                name + std::string(NAME_SIZE - name.size(), '\0'));
        }
    }
    // Over that control of the main window, in the size of its template.
    void ExpectOver(HWND dialog, int controlId, int width, int height) {
        RECT client, size = {0, 0, width, height}, over, rect;
        GetClientRect(dialog, &client);
        MapDialogRect(dialog, &size);
        GetWindowRect(GetDlgItem(window, controlId), &over);
        GetWindowRect(dialog, &rect);
        EXPECT_EQ((std::vector<LONG>{rect.left, rect.top, client.right, client.bottom}),
                  (std::vector<LONG>{over.left, over.top, size.right, size.bottom}));
    }
    HWND DriverView() const { return GetDlgItem(driverDialog, IDC_DRIVER_VIEW); }
    POINT At(uint32_t k) const {
        return {driverView.projectedVertices[k].x, driverView.projectedVertices[k].y};
    }
    // The view reads the real cursor.
    void Mouse(UINT message, POINT at) {
        POINT screen = at;
        ClientToScreen(DriverView(), &screen);
        SetCursorPos(screen.x, screen.y);
        PostMessageA(DriverView(), message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(at.x, at.y));
        PumpMessages();
    }
    std::vector<COLORREF> Pixels(const std::vector<POINT>& points) const {
        HDC dc = GetDC(DriverView());
        std::vector<COLORREF> pixels;
        for (POINT at : points) {
            pixels.push_back(GetPixel(dc, at.x, at.y));
        }
        ReleaseDC(DriverView(), dc);
        return pixels;
    }
    // The working values, each checked against the colour of its square.
    std::vector<uint32_t> Shown() const {
        std::vector<uint32_t> values;
        for (uint32_t k = 0; k < driverView.vertexCount; ++k) {
            values.push_back(driverView.projectedVertices[k].movement);
            EXPECT_EQ(Pixels({At(k)})[0], values.back() == MovementFixed ? RED : GREEN) << k;
        }
        return values;
    }
    HWND driverDialog = nullptr;
};

// Names that fill all 64 bytes, as a file may hold them, are cleared whole; typing stops at 63.
TEST_F(EditingCommandsTest, PartNamesByTypingByTheChooserAndByDefault) {
    const std::string full = std::string(63, 'q') + "Z";
    const std::vector<uint32_t> vertexCounts(13, 3), triangleCounts(13, 1);
    Open({vertexCounts, triangleCounts, std::vector<std::string>(13, full), {}, 0, 1});
    std::vector<std::string> parts(13, full.substr(0, 63));
    SetWindowPos(window, nullptr, 173, 61, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SelectByUser(window, IDC_PART_LIST, 0);
    Type(IDC_PART_NAME, std::string(62, 'a') + "Bccc", IDC_PART_LIST);
    parts[0] = std::string(62, 'a') + "B";
    const char* codes[] = {":HB",   ":HLFW", ":HRFW", ":HLRW", ":HRRW", ":MB",   ":MLFW", ":MRFW", ":MLRW",
                           ":MRRW", ":LB",   ":TB",   ":HLMW", ":HRMW", ":MLMW", ":MRMW", ":OC",   ":OND",
                           ":OD",   ":OH",   ":ODL",  ":OLM",  ":ORM",  ":OLB",  ":ORB",  ":OL",   ":OT"};
    for (int row = 1; row <= PART_CODE_COUNT; ++row) {
        const int part = 1 + row % 12;
        SelectByUser(window, IDC_PART_LIST, part);
        Choose(IDC_CHOOSE_PART, [&](HWND dialog) {
            ExpectOver(dialog, IDC_DUMMY_LIST, 228, 257);
            ClickNow(dialog, row == 1 ? 1012 : 1019 + row);
        });
        parts[size_t(part)] = codes[row - 1];
        EXPECT_EQ(ItemText(window, IDC_PART_NAME), codes[row - 1]);
    }
    Choose(IDC_CHOOSE_PART, [](HWND dialog) { PostMessageA(dialog, WM_KEYDOWN, VK_ESCAPE, 0); });
    ExpectNames(parts, {});
    SendCommand(window, IDC_SET_DEFAULT);
    std::copy(codes, codes + 12, parts.begin());
    ExpectNames(parts, {});
}

// A negative id: a double click, which is not a click. Every run starts from the defaults.
TEST_F(EditingCommandsTest, DummyChooserGivesTheNameOfTheButtonsClicked) {
    Open(SmallCar());
    SelectByUser(window, IDC_DUMMY_LIST, 1);
    auto dummy = [this](std::vector<int> clicks) {
        Choose(IDC_CHOOSE_DUMMY, [&](HWND dialog) {
            for (int id : clicks) {
                if (id > 0) {
                    ClickNow(dialog, id);
                } else {
                    SendCommand(dialog, -id, BN_DOUBLECLICKED);
                }
            }
        });
        return ItemText(window, IDC_DUMMY_NAME);
    };
    const std::pair<std::vector<int>, const char*> cases[] = {
        {{IDOK}, "HWYN5"},
        {{1014, 1020, 1023, 1029, 1044, 1057, IDOK}, "TRYO324"},
        {{1016, 1022, 1024, 1026, 1037, 1054, IDOK}, "ROYE011"},
        {{1017, 1021, 1035, 1051, 1061, IDOK}, "PBYN998"},
        {{1018, 1036, 1053, IDOK}, "SWYN500"},
        {{1015, 1046, IDOK}, "BWYN54"},      // the delay left at "Empty"
        {{1055, IDOK}, "HWYN5"},             // a delay without a time is dropped
        {{1045, 1053, 1052, IDOK}, "HWYN5"}, // "Empty" moves the other column,
        {{1036, 1058, 1063, IDOK}, "HWYN5"}, // from its first button too
        {{1045, 1058, -1052, -1063, IDOK}, "HWYN535"},
        {{1014, IDCANCEL}, "HWYN535"},
    };
    for (const auto& [clicks, expected] : cases) {
        EXPECT_EQ(dummy(clicks), expected);
    }
    // "Time 1" and "Time 2" are not neighbours by id.
    for (int d = 1; d <= 9; ++d) {
        const std::string n(1, char('0' + d));
        EXPECT_EQ(dummy({1026 + d, 1036, 1053, IDOK}), "HWYN" + n + "00");
        EXPECT_EQ(dummy({d == 1 ? 1037 : 1042 + d, 1053, IDOK}), "HWYN5" + n + "0");
        EXPECT_EQ(dummy({1036, 1053 + d, IDOK}), "HWYN50" + n);
    }
    const char* fixed[] = {":LICENSE_EURO", ":LICENSE", ":LICMED", ":LICLOW", ":SMOKE", ":WATER"};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(dummy({1014, 1046, 1065 + i}), fixed[i]);
    }
    // Typing names the entry selected while it was typed.
    Type(IDC_DUMMY_NAME, "SBYO9", IDC_DUMMY_LIST);
    SelectByUser(window, IDC_DUMMY_LIST, 0);
    ExpectNames({":HB", ":OD", ":LB"}, {"HWYN5", "SBYO9"});
}

FceColour* const TABLES[] = {carModel.header.primaryColours, carModel.header.interiorColours,
                             carModel.header.secondaryColours, carModel.header.driverHairColours};
const int SCROLLS[] = {IDC_HUE_SCROLL, IDC_SATURATION_SCROLL, IDC_VALUE_SCROLL, IDC_TRANSPARENCY_SCROLL};
const int NUMBERS[] = {IDC_HUE_NUMBER, IDC_SATURATION_NUMBER, IDC_VALUE_NUMBER, IDC_TRANSPARENCY_NUMBER};

std::string RowText(const FceColour& c) {
    return std::to_string(c.hue) + ", " + std::to_string(c.saturation) + ", " + std::to_string(c.value) +
           ", " + std::to_string(c.transparency);
}

// The fill, and across the middle row the word in the text colour.
void ExpectSwatch(HWND control, const FceColour& c) {
    PumpMessages();
    ScreenColour fill, text;
    SwatchColours(c.hue, c.saturation, c.value, c.transparency, &fill, &text);
    RECT client;
    GetClientRect(control, &client);
    HDC dc = GetDC(control);
    EXPECT_EQ(GetPixel(dc, 1, 1), RGB(fill.red, fill.green, fill.blue)) << RowText(c);
    LONG x = 0;
    while (x < client.right && GetPixel(dc, x, client.bottom / 2) != RGB(text.red, text.green, text.blue)) {
        ++x;
    }
    ReleaseDC(control, dc);
    EXPECT_LT(x, client.right) << RowText(c);
}

// Every change reaches the car at once; the info text keeps the count of the last open.
TEST_F(EditingCommandsTest, TheColoursEditorEditsTheFourTablesOfTheCar) {
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
            EXPECT_EQ(ListEntries(editor, 1019 + k), rows) << k;
            EXPECT_EQ(ListSelection(editor, 1019 + k), selected < 0 ? LB_ERR : selected) << k;
            if (selected >= 0) {
                ExpectSwatch(GetDlgItem(editor, 1040 + k), TABLES[k][selected]);
            }
        }
    };
    const FceKeshHeader opened = carModel.header;
    FceColour edited = opened.interiorColours[1];
    edited.hue -= 1, edited.saturation += 1, edited.value -= 10, edited.transparency += 10;
    DialogAnswerer answerer;
    answerer.Then([&](HWND editor) {
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

// Corners 0 to 3 anticlockwise from the bottom left, 4 the centre, 5 and 6 on the diagonals. The
// bottom edge is only the first triangle's closing edge; the fifth names a vertex the part lacks.
const Vec3 DRIVER_VERTICES[] = {{0, 0, -1},    {0, 0, 1},          {0, 0.5f, 1},     {0, 0.5f, -1},
                                {0, 0.25f, 0}, {0, 0.125f, -0.5f}, {0, 0.375f, 0.5f}};
const uint32_t DRIVER_TRIANGLES[][3] = {{1, 4, 0}, {1, 2, 4}, {2, 3, 4}, {3, 0, 4}, {5, 1, 7}};
const std::vector<uint32_t> DRIVER_FLAGS = {4, 0, 7, 4, 0, 4, 0};
const uint32_t FIRST = 8, FIRST_TRIANGLE = 5;

std::vector<uint32_t> Flags() {
    return std::vector<uint32_t>(carModel.movementFlags,
                                 carModel.movementFlags + carModel.header.vertexCount);
}

// The driver part is neither first, last nor selected. Opened twice: a drag, a drag cut short,
// "Reset all" and Cancel change nothing; a drag and OK write the driver part's values alone.
TEST_F(EditingCommandsTest, DraggingTheMouseTogglesTheVerticesInTheBand) {
    Open({{5, 3, 7, 4}, {4, 1, 5, 2}, {":HB", ":LB", ":OD", ":TB"}, {}, 0, 1});
    for (uint32_t k = 0; k < carModel.header.vertexCount; ++k) { // neither all 0 nor all 4 around
        carModel.movementFlags[k] = k - FIRST < 7 ? DRIVER_FLAGS[k - FIRST] : k % 3 * 2;
    }
    std::copy(std::begin(DRIVER_VERTICES), std::end(DRIVER_VERTICES), carModel.vertices + FIRST);
    for (uint32_t j = 0; j < 5; ++j) {
        std::copy_n(DRIVER_TRIANGLES[j], 3, carModel.triangles[FIRST_TRIANGLE + j].vertexIndexes);
    }
    const std::vector<uint32_t> original = Flags();
    SelectByUser(window, IDC_PART_LIST, 3);
    const std::vector<uint32_t> toggled = {4, 0, 7, 0, 4, 4, 0};
    // The band, drawn inverted, holds corner 3 and the centre.
    auto drag = [&] {
        const POINT centre = At(4), anchor = {centre.x + 30, centre.y + 20};
        Mouse(WM_LBUTTONDOWN, anchor);
        EXPECT_EQ(GetCapture(), DriverView());
        Mouse(WM_MOUSEMOVE, {-4, -3});
        EXPECT_EQ(Pixels({{anchor.x - 2, anchor.y - 2}, At(3), {anchor.x + 2, anchor.y + 2}}),
                  (std::vector<COLORREF>{INVERTED, RED ^ 0xFFFFFF, BACKGROUND}));
        Mouse(WM_LBUTTONUP, {-4, -3});
        EXPECT_NE(GetCapture(), DriverView());
        EXPECT_EQ(Shown(), toggled);
    };
    DialogAnswerer answerer;
    answerer.Then([&](HWND opened) {
        driverDialog = opened;
        RECT client;
        GetClientRect(DriverView(), &client);
        EXPECT_EQ(AsBytes(&driverView.viewClientRect, 1), AsBytes(&client, 1));
        // An edge, the inside of a triangle, and where the edge to the missing vertex would run.
        const POINT a = At(0), b = At(1), centre = At(4), five = At(5);
        EXPECT_EQ(Pixels({{(a.x + b.x) / 2, a.y},
                          {centre.x, (centre.y + At(3).y) / 2},
                          {(five.x + b.x) / 2, (five.y + b.y) / 2}}),
                  (std::vector<COLORREF>{BLACK, BACKGROUND, BACKGROUND}));
        drag();
        const POINT corner = {client.right - 3, client.bottom - 3};
        Mouse(WM_LBUTTONDOWN, {2, 2});
        Mouse(WM_MOUSEMOVE, corner);
        EXPECT_EQ(Pixels({{corner.x - 1, 3}})[0], INVERTED);
        SetCapture(GetDlgItem(driverDialog, IDC_RESET_ALL));
        PumpMessages();
        EXPECT_EQ(Pixels({{corner.x - 1, 3}})[0], BACKGROUND) << "the band goes with the mouse";
        Mouse(WM_LBUTTONUP, corner);
        EXPECT_EQ(Shown(), toggled);
        ClickNow(driverDialog, IDC_RESET_ALL);
        PumpMessages();
        EXPECT_EQ(Shown(), std::vector<uint32_t>(7, MovementFixed)) << "repainted";
        ClickNow(driverDialog, IDCANCEL);
    });
    answerer.Then([&](HWND opened) {
        driverDialog = opened;
        drag();
        ClickNow(driverDialog, IDOK);
    });
    std::vector<uint32_t> written = original;
    std::copy(toggled.begin(), toggled.end(), written.begin() + FIRST);
    for (const auto& expected : {original, written}) {
        SendCommand(window, IDC_DRIVER_MOVEMENTS);
        EXPECT_EQ(Flags(), expected);
    }
    // With no part, or two, named exactly ":OD", a message instead.
    std::strcpy(carModel.header.partNames[2], ":od");
    SendCommand(window, IDC_DRIVER_MOVEMENTS);
    std::strcpy(carModel.header.partNames[0], ":OD");
    std::strcpy(carModel.header.partNames[2], ":OD");
    SendCommand(window, IDC_DRIVER_MOVEMENTS);
    EXPECT_EQ(responder.messages,
              std::vector<std::string>(2, "Part :OD  (Driver) not found or there is more than one part :OD"));
    EXPECT_EQ(answerer.captions, std::vector<std::string>(2, "Select moving driver vertices"));
}

} // namespace
