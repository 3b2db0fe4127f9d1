#include "colour/colour_conversion.h"
#include "colour/colour_edit.h"
#include "colour/colours_editor.h"
#include "model/car_model.h"
#include "model/verro3.h"
#include "platform/win32_handles.h"
#include "resources/resource.h"
#include "tests/gui/gui_support.h"
#include "tests/gui/swatch_reading.h"
#include "tests/support/fce_builder.h"
#include "tests/support/scripted_responder.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

const int LISTS[] = {1019, 1020, 1021, 1022};
FceColour* const TABLES[] = {carModel.header.primaryColours, carModel.header.interiorColours,
                             carModel.header.secondaryColours, carModel.header.driverHairColours};

std::string Row(const FceColour& c) {
    return std::to_string(c.hue) + ", " + std::to_string(c.saturation) + ", " + std::to_string(c.value) +
           ", " + std::to_string(c.transparency);
}

bool SameColour(const FceColour& a, const FceColour& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

COLORREF FillOf(const FceColour& c) {
    ScreenColour fill, text;
    SwatchColours(c.hue, c.saturation, c.value, c.transparency, &fill, &text);
    return RGB(fill.red, fill.green, fill.blue);
}

COLORREF TextOf(const FceColour& c) {
    ScreenColour fill, text;
    SwatchColours(c.hue, c.saturation, c.value, c.transparency, &fill, &text);
    return RGB(text.red, text.green, text.blue);
}

void PostScroll(HWND dialog, int scrollId, WORD request) {
    PostMessageA(dialog, WM_VSCROLL, MAKEWPARAM(request, 0),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, scrollId)));
}

class ColoursEditorTest : public ::testing::Test {
  protected:
    void SetUp() override { ReleaseCarModel(); }
    void TearDown() override {
        if (editor) {
            DestroyWindow(editor);
        }
        ReleaseFce3Mesh();
        ReleaseCarModel();
        EXPECT_EQ(LiveZeroedBlocks(), 0);
    }
    // Three rows whose every byte is different, saturated enough to be told apart on screen.
    void SetUpColours(uint32_t count) {
        carModel.header.colourCount = count;
        for (int k = 0; k < 4; ++k) {
            for (int i = 0; i < 16; ++i) {
                TABLES[k][i] = {uint8_t(40 * k + 13 * i), uint8_t(200 + i), uint8_t(230 - 3 * k),
                                uint8_t(10 * i)};
            }
        }
    }
    // Modeless, so that the test can look at the editor while it runs. The answerer lets the
    // editor itself through and answers only the dialogs the editor opens.
    void Open() {
        answerer.Then([](HWND) {});
        editor = CreateDialogParamA(appInstance, MAKEINTRESOURCEA(IDD_COLOURS_EDITOR), nullptr,
                                    ColoursEditorDialog, 0);
        ASSERT_NE(editor, nullptr);
        ShowWindow(editor, SW_SHOW);
        PumpMessages();
    }
    std::vector<int> Selections() const {
        std::vector<int> selections;
        for (int id : LISTS) {
            selections.push_back(ListSelection(editor, id));
        }
        return selections;
    }
    // Every list shows its table, row for row.
    void ExpectListsMirrorTables() const {
        for (int k = 0; k < 4; ++k) {
            std::vector<std::string> rows;
            for (uint32_t i = 0; i < carModel.header.colourCount; ++i) {
                rows.push_back(Row(TABLES[k][i]));
            }
            EXPECT_EQ(ListEntries(editor, LISTS[k]), rows) << "list " << LISTS[k];
        }
    }
    // The four swatches show the colours of the selected row.
    void ExpectSwatchesOfRow(int row) {
        PumpMessages();
        for (int k = 0; k < 4; ++k) {
            const FceColour& colour = TABLES[k][row];
            SwatchReading reading =
                ReadSwatch(GetDlgItem(editor, IDC_COLOUR_SWATCH_FIRST + k), FillOf(colour), TextOf(colour));
            if (FillOf(colour) == TextOf(colour)) {
                EXPECT_EQ(reading.fillPixels, reading.width * reading.height)
                    << "swatch " << k << " row " << row;
                continue;
            }
            EXPECT_GT(reading.fillPixels, reading.width * reading.height / 2)
                << "swatch " << k << " row " << row;
            EXPECT_TRUE(reading.FilledAroundText()) << "swatch " << k;
            EXPECT_GT(reading.textPixels, 10) << "swatch " << k;
            EXPECT_TRUE(reading.TextCentred()) << "swatch " << k;
        }
    }
    HWND editor = nullptr;
    DialogAnswerer answerer;
};

struct ControlDescription {
    int id;
    const char* className;
    const char* text;
    short x, y, cx, cy;
};

TEST(ColoursEditorTemplateTest, MatchesItsDescription) {
    DialogTemplate t = ReadDialogTemplate(IDD_COLOURS_EDITOR);
    EXPECT_TRUE(t.extended);
    EXPECT_EQ(t.caption, "Colors editor");
    EXPECT_EQ(t.fontName, "MS Sans Serif");
    EXPECT_EQ(t.fontSize, 8);
    EXPECT_EQ((std::vector<int>{t.x, t.y, t.cx, t.cy}), (std::vector<int>{20, 20, 340, 165}));
    EXPECT_EQ(t.style & (WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME),
              DWORD(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME));
    EXPECT_EQ(t.style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0u);

    const ControlDescription controls[] = {
        {-1, "Static", "Primary", 4, 4, 24, 8},
        {1019, "ListBox", "", 4, 16, 80, 76},
        {1036, "Button", "Edit", 4, 96, 80, 14},
        {1040, "Static", "", 4, 112, 80, 20},
        {-1, "Static", "Interior", 88, 4, 22, 8},
        {1020, "ListBox", "", 88, 16, 80, 76},
        {1037, "Button", "Edit", 88, 96, 80, 14},
        {1041, "Static", "", 88, 112, 80, 20},
        {-1, "Static", "Secondary", 172, 4, 35, 8},
        {1021, "ListBox", "", 172, 16, 80, 76},
        {1038, "Button", "Edit", 172, 96, 80, 14},
        {1042, "Static", "", 172, 112, 80, 20},
        {-1, "Static", "Driver hair", 256, 4, 33, 8},
        {1022, "ListBox", "", 256, 16, 80, 76},
        {1039, "Button", "Edit", 256, 96, 80, 14},
        {1043, "Static", "", 256, 112, 80, 20},
        {2, "Button", "Close", 284, 140, 50, 14},
        {1044, "Button", "Add color", 12, 144, 50, 14},
        {1045, "Button", "Delete color", 64, 144, 50, 14},
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
        EXPECT_EQ(item.style & (WS_CHILD | WS_VISIBLE | WS_DISABLED), DWORD(WS_CHILD | WS_VISIBLE)) << i;
        const bool swatch = c.id >= 1040 && c.id <= 1043;
        EXPECT_EQ((item.exStyle & WS_EX_CLIENTEDGE) != 0, swatch) << i;
        if (item.className == "ListBox") {
            const DWORD required = LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP;
            EXPECT_EQ(item.style & required, required) << i;
            EXPECT_EQ(item.style & (LBS_SORT | LBS_MULTIPLESEL | LBS_EXTENDEDSEL | WS_HSCROLL), 0u) << i;
        } else if (item.className == "Button") {
            EXPECT_EQ(item.style & 0xF, DWORD(BS_PUSHBUTTON)) << "no default button: " << i;
            EXPECT_TRUE(item.style & WS_TABSTOP) << i;
        } else {
            EXPECT_EQ(item.style & SS_TYPEMASK, DWORD(SS_LEFT)) << i;
        }
    }
}

TEST_F(ColoursEditorTest, OpensEmptyWithoutColours) {
    Open();
    EXPECT_EQ(WindowText(editor), "Colors editor");
    for (int id : LISTS) {
        EXPECT_TRUE(ListEntries(editor, id).empty()) << id;
    }
    EXPECT_EQ(Selections(), (std::vector<int>{LB_ERR, LB_ERR, LB_ERR, LB_ERR}));
    // Nothing is painted: the swatch keeps the dialog's own background.
    SwatchReading blank = ReadSwatch(GetDlgItem(editor, 1040), GetSysColor(COLOR_BTNFACE), RGB(0, 0, 0));
    EXPECT_EQ(blank.fillPixels, blank.width * blank.height);
    // Edit and Delete have no row to act on.
    SendCommand(editor, 1036);
    SendCommand(editor, IDC_DELETE_COLOUR);
    EXPECT_EQ(answerer.captions, std::vector<std::string>{"Colors editor"});
    EXPECT_EQ(carModel.header.colourCount, 0u);

    SendCommand(editor, IDC_ADD_COLOUR);
    EXPECT_EQ(carModel.header.colourCount, 1u);
    for (int k = 0; k < 4; ++k) {
        EXPECT_TRUE(SameColour(TABLES[k][0], FceColour{128, 128, 128, 128}));
        EXPECT_EQ(ListEntries(editor, LISTS[k]), std::vector<std::string>{"128, 128, 128, 128"});
    }
    EXPECT_EQ(Selections(), (std::vector<int>{0, 0, 0, 0}));
    PumpMessages();
    SwatchReading added = ReadSwatch(GetDlgItem(editor, 1043), RGB(63, 127, 128), RGB(31, 63, 64));
    EXPECT_TRUE(added.FilledAroundText());
    EXPECT_TRUE(added.TextCentred());
}

TEST_F(ColoursEditorTest, OpensOnALoadedCarAtRowZero) {
    TempDir dir;
    ScriptedResponder responder;
    CarShape shape;
    shape.partVertexCounts = {3};
    shape.partTriangleCounts = {1};
    shape.colourCount = 3;
    WriteBytes(dir.File("car.fce"), MakeVerro3(shape).Build());
    ASSERT_EQ(OpenVerro3Path(dir.File("car.fce").c_str()), 1);
    Open();
    EXPECT_EQ(ListEntries(editor, 1019),
              (std::vector<std::string>{"1, 2, 3, 4", "17, 18, 19, 20", "33, 34, 35, 36"}));
    EXPECT_EQ(ListEntries(editor, 1022),
              (std::vector<std::string>{"5, 6, 7, 8", "21, 22, 23, 24", "37, 38, 39, 40"}));
    ExpectListsMirrorTables();
    EXPECT_EQ(Selections(), (std::vector<int>{0, 0, 0, 0}));
    ExpectSwatchesOfRow(0);
}

TEST_F(ColoursEditorTest, SelectionKeptInStep) {
    SetUpColours(3);
    Open();
    ExpectSwatchesOfRow(0);
    SelectByUser(editor, 1021, 2);
    EXPECT_EQ(Selections(), (std::vector<int>{2, 2, 2, 2}));
    ExpectSwatchesOfRow(2);
    SelectByUser(editor, 1019, 1);
    EXPECT_EQ(Selections(), (std::vector<int>{1, 1, 1, 1}));
    ExpectSwatchesOfRow(1);
    // Other notifications of a list change nothing.
    SendDlgItemMessageA(editor, 1020, LB_SETCURSEL, 0, 0);
    SendCommand(editor, 1020, LBN_DBLCLK);
    EXPECT_EQ(Selections(), (std::vector<int>{1, 0, 1, 1}));
}

TEST_F(ColoursEditorTest, EditWithOkChangesOnlyThatEntryAndRow) {
    SetUpColours(3);
    Open();
    SelectByUser(editor, 1020, 1);
    const FceKeshHeader before = carModel.header;
    HWND nestedOwner = nullptr;
    ColourEditState shown{};
    answerer.Then([&](HWND dialog) {
        nestedOwner = GetWindow(dialog, GW_OWNER);
        shown = colourEditState;
        PostScroll(dialog, IDC_HUE_SCROLL, SB_LINEDOWN);
        PostScroll(dialog, IDC_SATURATION_SCROLL, SB_TOP);
        PostScroll(dialog, IDC_VALUE_SCROLL, SB_PAGEUP);
        PostScroll(dialog, IDC_TRANSPARENCY_SCROLL, SB_BOTTOM);
        PostClick(dialog, IDOK);
    });
    SendCommand(editor, 1037);
    EXPECT_EQ(answerer.captions, (std::vector<std::string>{"Colors editor", "Edit color"}));
    EXPECT_EQ(nestedOwner, editor);
    const FceColour old = before.interiorColours[1];
    EXPECT_EQ(shown.hue, old.hue);
    EXPECT_EQ(shown.saturation, old.saturation);
    EXPECT_EQ(shown.value, old.value);
    EXPECT_EQ(shown.transparency, old.transparency);
    const FceColour edited = {uint8_t(old.hue + 1), 0, uint8_t(old.value - 10), 255};
    EXPECT_TRUE(SameColour(carModel.header.interiorColours[1], edited));

    FceKeshHeader expected = before;
    expected.interiorColours[1] = edited;
    EXPECT_EQ(std::memcmp(&carModel.header, &expected, sizeof expected), 0) << "nothing else changed";
    ExpectListsMirrorTables();
    EXPECT_EQ(Selections(), (std::vector<int>{1, 1, 1, 1}));
    ExpectSwatchesOfRow(1);
}

TEST_F(ColoursEditorTest, EditWithCancelAfterScrollingChangesNothing) {
    SetUpColours(2);
    Open();
    const FceKeshHeader before = carModel.header;
    std::vector<std::string> rowsBefore = ListEntries(editor, 1022);
    answerer.Then([](HWND dialog) {
        PostScroll(dialog, IDC_HUE_SCROLL, SB_PAGEDOWN);
        PostScroll(dialog, IDC_TRANSPARENCY_SCROLL, SB_TOP);
        PostClick(dialog, IDCANCEL);
    });
    SendCommand(editor, 1039);
    EXPECT_EQ(answerer.captions, (std::vector<std::string>{"Colors editor", "Edit color"}));
    EXPECT_EQ(colourEditState.hue, before.driverHairColours[0].hue + 10u) << "the dialog did scroll";
    EXPECT_EQ(std::memcmp(&carModel.header, &before, sizeof before), 0);
    EXPECT_EQ(ListEntries(editor, 1022), rowsBefore);
    EXPECT_EQ(Selections(), (std::vector<int>{0, 0, 0, 0}));
}

TEST_F(ColoursEditorTest, AddsUpToSixteen) {
    SetUpColours(14);
    Open();
    SendCommand(editor, IDC_ADD_COLOUR);
    SendCommand(editor, IDC_ADD_COLOUR);
    EXPECT_EQ(carModel.header.colourCount, 16u);
    EXPECT_EQ(Selections(), (std::vector<int>{15, 15, 15, 15}));
    const FceKeshHeader full = carModel.header;
    SendCommand(editor, IDC_ADD_COLOUR);
    EXPECT_EQ(std::memcmp(&carModel.header, &full, sizeof full), 0);
    ExpectListsMirrorTables();
    EXPECT_EQ(ListEntries(editor, 1021).back(), "128, 128, 128, 128");
}

TEST_F(ColoursEditorTest, DeleteRowZeroOfThree) {
    SetUpColours(3);
    Open();
    SelectByUser(editor, 1022, 0);
    const FceKeshHeader before = carModel.header;
    SendCommand(editor, IDC_DELETE_COLOUR);
    EXPECT_EQ(carModel.header.colourCount, 2u);
    for (int k = 0; k < 4; ++k) {
        const FceColour* was = k == 0   ? before.primaryColours
                               : k == 1 ? before.interiorColours
                               : k == 2 ? before.secondaryColours
                                        : before.driverHairColours;
        EXPECT_TRUE(SameColour(TABLES[k][0], was[1])) << k;
        EXPECT_TRUE(SameColour(TABLES[k][1], was[2])) << k;
        EXPECT_TRUE(SameColour(TABLES[k][2], was[2])) << "the stale slot keeps its bytes " << k;
    }
    ExpectListsMirrorTables();
    EXPECT_EQ(Selections(), (std::vector<int>{0, 0, 0, 0}));
    ExpectSwatchesOfRow(0);
}

TEST_F(ColoursEditorTest, DeleteTheSelectedMiddleRow) {
    SetUpColours(3);
    Open();
    SelectByUser(editor, 1020, 1);
    const FceColour last = carModel.header.secondaryColours[2];
    SendCommand(editor, IDC_DELETE_COLOUR);
    EXPECT_TRUE(SameColour(carModel.header.secondaryColours[1], last));
    ExpectListsMirrorTables();
    EXPECT_EQ(Selections(), (std::vector<int>{0, 0, 0, 0}));
}

TEST_F(ColoursEditorTest, DeleteTheOnlyRow) {
    SetUpColours(1);
    Open();
    SendCommand(editor, IDC_DELETE_COLOUR);
    EXPECT_EQ(carModel.header.colourCount, 0u);
    for (int id : LISTS) {
        EXPECT_TRUE(ListEntries(editor, id).empty()) << id;
    }
    EXPECT_EQ(Selections(), (std::vector<int>{LB_ERR, LB_ERR, LB_ERR, LB_ERR}));
}

TEST_F(ColoursEditorTest, EnterDoesNothingAndCloseEnds) {
    SetUpColours(2);
    Open();
    const FceKeshHeader before = carModel.header;
    SendCommand(editor, IDOK);
    EXPECT_TRUE(IsWindowVisible(editor));
    EXPECT_EQ(answerer.captions.size(), 1u) << "no dialog opened";
    EXPECT_EQ(std::memcmp(&carModel.header, &before, sizeof before), 0);
    SendCommand(editor, IDCANCEL);
    // A modeless dialog ended by EndDialog is hidden; the modal run would return.
    EXPECT_FALSE(IsWindowVisible(editor));
}

TEST(ColoursEditorFromMainWindowTest, ColorsEditorRunsModallyAndChangesTheCar) {
    DialogAnswerer answerer;
    answerer.Then([](HWND) {}); // the main window itself
    HWND window = OpenMainWindow();
    ASSERT_NE(window, nullptr);
    HWND owner = nullptr;
    answerer.Then([&](HWND editor) {
        owner = GetWindow(editor, GW_OWNER);
        PostClick(editor, IDC_ADD_COLOUR);
        PostClick(editor, IDC_ADD_COLOUR);
        PostClick(editor, IDCANCEL);
    });
    SendCommand(window, IDC_COLOURS_EDITOR);
    EXPECT_EQ(answerer.captions,
              (std::vector<std::string>{"Verro3 <-> Verro:Kesh FCE Converter", "Colors editor"}));
    EXPECT_EQ(answerer.unexpected, 0);
    EXPECT_EQ(owner, window);
    EXPECT_EQ(carModel.header.colourCount, 2u);
    DestroyWindow(window);
    EXPECT_EQ(LiveZeroedBlocks(), 0);
}

} // namespace
