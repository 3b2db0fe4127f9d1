#include "model/last_directory.h"
#include "model/messages.h"
#include "tests/gui/main_window_fixture.h"

namespace {

const std::string LONG_NAME = "a part name of exactly sixty-three characters, 0123456789abcdef";
const char INFO[] = "Number of triangles=7\r\nNumber of vertices=12\r\nNumber of dummies=2\r\n"
                    "Number of parts=3\r\nNumber of colors=3\r\n";

CarShape LongNameCar() {
    CarShape shape = SmallCar();
    shape.partNames[2] = LONG_NAME;
    return shape;
}

using MainWindowTest = MainWindowFixture;

TEST(MainWindowTemplateTest, MatchesItsDescription) {
    DialogTemplate t = ReadDialogTemplate(IDD_MAIN);
    ExpectDialogFrame(t, "Verro3 <-> Verro:Kesh FCE Converter", 0, 0, 404, 245);
    EXPECT_EQ(t.style & DS_CENTER, 0u);
    const DWORD list = LBS_NOTIFY | WS_VSCROLL | WS_BORDER;
    const int any = -1;
    ExpectControls(t,
                   {
                       {IDC_OPEN_VERRO3, "Button", "Open Verro3...", any, 0, 0, 0, BS_DEFPUSHBUTTON},
                       {IDC_OPEN_KESH, "Button", "Open Verro:Kesh..."},
                       {IDC_IMPORT_DAMAGED, "Button", "Import damaged..."},
                       {IDC_SAVE_KESH, "Button", "Save Verro:Kesh..."},
                       {IDC_SAVE_VERRO3, "Button", "Save Verro3..."},
                       {IDC_DRIVER_MOVEMENTS, "Button", "Driver movements"},
                       {IDC_COLOURS_EDITOR, "Button", "Colors editor"},
                       {-1, "Static", "Part names:"},
                       {IDC_PART_LIST, "ListBox", "", any, 0, 0, 0, list | WS_HSCROLL},
                       {IDC_PART_NAME, "Edit", "", any, 0, 0, 0, ES_AUTOHSCROLL},
                       {IDC_SET_DEFAULT, "Button", "Set default"},
                       {IDC_CHOOSE_PART, "Button", "Choose..."},
                       {-1, "Static", "Dummy names:"},
                       {IDC_DUMMY_LIST, "ListBox", "", 116, 52, 108, 156, list},
                       {IDC_DUMMY_NAME, "Edit", "", any, 0, 0, 0, ES_AUTOHSCROLL},
                       {IDC_CHOOSE_DUMMY, "Button", "Choose..."},
                       {-1, "Static", "FCE info:"},
                       {IDC_INFO_TEXT, "Edit", "", 228, 52, 172, 80, ES_MULTILINE | ES_READONLY | WS_VSCROLL},
                       {IDC_CAR_VIEW, "Button", "Car view..."},
                       {IDC_CLOSE, "Button", "Close"},
                       {-1, "Static", "", any, 0, 0, 0, SS_ETCHEDFRAME},
                       {-1, "Static", "Verro FCE Converter 1.0", any, 0, 0, 0, SS_CENTER},
                       {-1, "Static", "Converts cars between the", any, 0, 0, 0, SS_CENTER},
                       {-1, "Static", "Verro3 and Verro:Kesh FCE layouts", any, 0, 0, 0, SS_CENTER},
                       {-1, "Static", "and edits their names and colours.", any, 0, 0, 0, SS_CENTER},
                       {-1, "Static", "Keep a copy of your original cars.", any, 0, 0, 0, SS_CENTER},
                   });
    // Single selection, unsorted; only the part list scrolls sideways; one default button.
    for (const TemplateItem& item : t.items) {
        if (item.className == "ListBox") {
            EXPECT_EQ(item.style & (LBS_SORT | LBS_MULTIPLESEL | LBS_EXTENDEDSEL), 0u) << item.id;
            EXPECT_EQ((item.style & WS_HSCROLL) != 0, item.id == IDC_PART_LIST) << item.id;
        }
        if (item.className == "Button") {
            EXPECT_EQ((item.style & BS_DEFPUSHBUTTON) != 0, item.id == IDC_OPEN_VERRO3) << item.id;
        }
    }
}

TEST_F(MainWindowTest, StartsEmptyInTheProgramsFolderWithItsIcon) {
    EXPECT_EQ(ScreenRect(window).left, 0);
    EXPECT_EQ(ScreenRect(window).top, 0);
    EXPECT_NE(SendMessageA(window, WM_GETICON, ICON_BIG, 0), 0) << "icon 105 is the large icon";
    EXPECT_EQ(GetFocus(), GetDlgItem(window, IDC_OPEN_VERRO3));
    EXPECT_TRUE(ListEntries(window, IDC_PART_LIST).empty());
    EXPECT_TRUE(ListEntries(window, IDC_DUMMY_LIST).empty());
    EXPECT_EQ(ItemText(window, IDC_INFO_TEXT), "");
    // The test program is not called VerroFCEConverter.exe, so its whole path is kept.
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    EXPECT_STREQ(lastDirectory, path);
}

TEST_F(MainWindowTest, OpenFillsListsFieldsAndInfoAndSelectionShowsNames) {
    Open(LongNameCar());
    EXPECT_TRUE(responder.messages.empty());
    EXPECT_EQ(ListEntries(window, IDC_PART_LIST), (std::vector<std::string>{":HB", ":OD", LONG_NAME}));
    EXPECT_EQ(ListEntries(window, IDC_DUMMY_LIST), (std::vector<std::string>{"HWYN5", "TRYO324"}));
    EXPECT_EQ(ListSelection(window, IDC_PART_LIST), 0);
    EXPECT_EQ(ListSelection(window, IDC_DUMMY_LIST), 0);
    EXPECT_EQ(ItemText(window, IDC_PART_NAME), ":HB");
    EXPECT_EQ(ItemText(window, IDC_DUMMY_NAME), "HWYN5");
    EXPECT_EQ(ItemText(window, IDC_INFO_TEXT), INFO);
    EXPECT_EQ(std::string(lastDirectory), dir.Folder());

    SelectByUser(window, IDC_PART_LIST, 2);
    EXPECT_EQ(ItemText(window, IDC_PART_NAME), LONG_NAME);
    SelectByUser(window, IDC_DUMMY_LIST, 1);
    EXPECT_EQ(ItemText(window, IDC_DUMMY_NAME), "TRYO324");
    EXPECT_EQ(ItemText(window, IDC_PART_NAME), LONG_NAME);
    // A list acts only on a change of its selection.
    SendDlgItemMessageA(window, IDC_PART_LIST, LB_SETCURSEL, 0, 0);
    SendCommand(window, IDC_PART_LIST, LBN_DBLCLK);
    EXPECT_EQ(ItemText(window, IDC_PART_NAME), LONG_NAME);
}

TEST_F(MainWindowTest, CarWithoutPartsOrDummiesReplacesTheLastOne) {
    Open(LongNameCar());
    SelectByUser(window, IDC_PART_LIST, 2);
    CarShape empty;
    empty.colourCount = 1;
    Open(empty);
    EXPECT_TRUE(ListEntries(window, IDC_PART_LIST).empty());
    EXPECT_TRUE(ListEntries(window, IDC_DUMMY_LIST).empty());
    EXPECT_EQ(ItemText(window, IDC_PART_NAME), "");
    EXPECT_EQ(ItemText(window, IDC_DUMMY_NAME), "");
    EXPECT_EQ(ItemText(window, IDC_INFO_TEXT), "Number of triangles=0\r\nNumber of vertices=0\r\n"
                                               "Number of dummies=0\r\nNumber of parts=0\r\n"
                                               "Number of colors=1\r\n");
}

TEST_F(MainWindowTest, CancelKeepsTheCarAndAFailedOpenClearsTheWindow) {
    Open(SmallCar());
    responder.Cancel();
    SendCommand(window, IDC_OPEN_VERRO3);
    EXPECT_EQ(ListEntries(window, IDC_PART_LIST).size(), 3u);
    EXPECT_EQ(ItemText(window, IDC_INFO_TEXT), INFO);
    EXPECT_TRUE(responder.messages.empty());

    WriteBytes(dir.File("short.fce"), Bytes(100, 0));
    responder.Choose(dir.File("short.fce"));
    SendCommand(window, IDC_OPEN_VERRO3);
    EXPECT_EQ(responder.messages, std::vector<std::string>{MESSAGE_READ_ERROR});
    EXPECT_TRUE(ListEntries(window, IDC_PART_LIST).empty());
    EXPECT_TRUE(ListEntries(window, IDC_DUMMY_LIST).empty());
    EXPECT_EQ(ItemText(window, IDC_PART_NAME), "");
    EXPECT_EQ(ItemText(window, IDC_DUMMY_NAME), "");
    EXPECT_EQ(ItemText(window, IDC_INFO_TEXT), "");
}

TEST_F(MainWindowTest, CloseAndCancelEndTheWindow) {
    for (int id : {IDC_CLOSE, IDCANCEL}) {
        ShowWindow(window, SW_SHOW);
        SendCommand(window, id);
        // A modeless dialog ended by EndDialog is hidden; the modal run would return 0.
        EXPECT_FALSE(IsWindowVisible(window)) << id;
    }
}

} // namespace
