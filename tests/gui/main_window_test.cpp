#include "model/last_directory.h"
#include "model/messages.h"
#include "model/verro3.h"
#include "platform/win32_handles.h"
#include "resources/resource.h"
#include "tests/gui/gui_support.h"
#include "tests/support/fce_builder.h"
#include "tests/support/scripted_responder.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace {

const char INFO_12_PARTS[] = "Number of triangles=7\r\nNumber of vertices=12\r\nNumber of dummies=2\r\n"
                             "Number of parts=3\r\nNumber of colors=3\r\n";

CarShape SmallCar() {
    CarShape shape;
    shape.partVertexCounts = {5, 3, 4};
    shape.partTriangleCounts = {4, 1, 2};
    shape.partNames = {":HB", ":OD", "a part name of exactly sixty-three characters, 0123456789abcdef"};
    shape.dummyNames = {"HWYN5", "TRYO324"};
    shape.colourCount = 3;
    return shape;
}

class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window = OpenMainWindow();
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override {
        DestroyWindow(window);
        EXPECT_EQ(LiveZeroedBlocks(), 0) << "destroying the window releases the car";
    }
    void Open(const CarShape& shape) {
        std::string path = dir.File("car.fce");
        WriteBytes(path, MakeVerro3(shape).Build());
        responder.Choose(path);
        SendCommand(window, IDC_OPEN_VERRO3);
    }
    HWND window = nullptr;
    TempDir dir;
    ScriptedResponder responder;
};

struct ControlDescription {
    int id;
    const char* className;
    const char* text;
    DWORD requiredStyle;
    DWORD forbiddenStyle;
};

TEST(MainWindowTemplateTest, MatchesItsDescription) {
    DialogTemplate t = ReadDialogTemplate(IDD_MAIN);
    EXPECT_EQ(t.caption, "Verro3 <-> Verro:Kesh FCE Converter");
    EXPECT_EQ(t.fontName, "MS Sans Serif");
    EXPECT_EQ(t.fontSize, 8);
    EXPECT_EQ(t.x, 0);
    EXPECT_EQ(t.y, 0);
    EXPECT_EQ(t.cx, 404);
    EXPECT_EQ(t.cy, 245);
    EXPECT_EQ(t.style & (WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME),
              DWORD(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME));
    EXPECT_EQ(t.style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME | DS_CENTER), 0u);

    const DWORD list = LBS_NOTIFY | WS_VSCROLL | WS_BORDER;
    const DWORD notSingleSorted = LBS_SORT | LBS_MULTIPLESEL | LBS_EXTENDEDSEL;
    const ControlDescription controls[] = {
        {IDC_OPEN_VERRO3, "Button", "Open Verro3...", BS_DEFPUSHBUTTON, 0},
        {IDC_OPEN_KESH, "Button", "Open Verro:Kesh...", 0, BS_DEFPUSHBUTTON},
        {IDC_IMPORT_DAMAGED, "Button", "Import damaged...", 0, BS_DEFPUSHBUTTON},
        {IDC_SAVE_KESH, "Button", "Save Verro:Kesh...", 0, BS_DEFPUSHBUTTON},
        {IDC_SAVE_VERRO3, "Button", "Save Verro3...", 0, BS_DEFPUSHBUTTON},
        {IDC_DRIVER_MOVEMENTS, "Button", "Driver movements", 0, BS_DEFPUSHBUTTON},
        {IDC_COLOURS_EDITOR, "Button", "Colors editor", 0, BS_DEFPUSHBUTTON},
        {IDC_PART_LIST, "ListBox", "", list | WS_HSCROLL, notSingleSorted},
        {IDC_PART_NAME, "Edit", "", ES_AUTOHSCROLL, ES_MULTILINE | ES_READONLY},
        {IDC_SET_DEFAULT, "Button", "Set default", 0, BS_DEFPUSHBUTTON},
        {IDC_CHOOSE_PART, "Button", "Choose...", 0, BS_DEFPUSHBUTTON},
        {IDC_DUMMY_LIST, "ListBox", "", list, notSingleSorted | WS_HSCROLL},
        {IDC_DUMMY_NAME, "Edit", "", ES_AUTOHSCROLL, ES_MULTILINE | ES_READONLY},
        {IDC_CHOOSE_DUMMY, "Button", "Choose...", 0, BS_DEFPUSHBUTTON},
        {IDC_INFO_TEXT, "Edit", "", ES_MULTILINE | ES_READONLY | WS_VSCROLL, 0},
        {IDC_CLOSE, "Button", "Close", 0, BS_DEFPUSHBUTTON},
    };
    // The controls stand in this order, "Open Verro3..." first so that it takes the focus.
    std::vector<int> order;
    for (const TemplateItem& item : t.items) {
        if (item.id != 0xFFFF) {
            order.push_back(item.id);
        }
    }
    std::vector<int> expectedOrder;
    for (const ControlDescription& c : controls) {
        expectedOrder.push_back(c.id);
        const TemplateItem* item = t.Find(c.id);
        ASSERT_NE(item, nullptr) << c.id;
        EXPECT_EQ(item->className, c.className) << c.id;
        EXPECT_EQ(item->text, c.text) << c.id;
        EXPECT_EQ(item->style & c.requiredStyle, c.requiredStyle) << c.id;
        EXPECT_EQ(item->style & c.forbiddenStyle, 0u) << c.id;
        EXPECT_EQ(item->style & (WS_CHILD | WS_VISIBLE | WS_DISABLED), DWORD(WS_CHILD | WS_VISIBLE)) << c.id;
    }
    EXPECT_EQ(order, expectedOrder);

    const TemplateItem* dummies = t.Find(IDC_DUMMY_LIST);
    EXPECT_EQ((std::vector<int>{dummies->x, dummies->y, dummies->cx, dummies->cy}),
              (std::vector<int>{116, 52, 108, 156}));
    const TemplateItem* info = t.Find(IDC_INFO_TEXT);
    EXPECT_EQ((std::vector<int>{info->x, info->y, info->cx, info->cy}), (std::vector<int>{228, 52, 172, 80}));

    std::vector<std::string> labels;
    int frames = 0, credits = 0;
    for (const TemplateItem& item : t.items) {
        if (item.className != "Static") {
            continue;
        }
        if ((item.style & SS_TYPEMASK) == SS_ETCHEDFRAME) {
            ++frames;
        } else if ((item.style & SS_TYPEMASK) == SS_CENTER) {
            ++credits;
            EXPECT_GE(item.y, info->y + info->cy) << "credits stand below the info text";
        } else {
            labels.push_back(item.text);
        }
    }
    EXPECT_EQ(labels, (std::vector<std::string>{"Part names:", "Dummy names:", "FCE info:"}));
    EXPECT_EQ(frames, 1);
    EXPECT_EQ(credits, 5);
}

TEST_F(MainWindowTest, ShowsTheTemplateWithItsIcon) {
    EXPECT_EQ(WindowText(window), "Verro3 <-> Verro:Kesh FCE Converter");
    EXPECT_EQ(ScreenRect(window).left, 0);
    EXPECT_EQ(ScreenRect(window).top, 0);
    RECT client;
    GetClientRect(window, &client);
    RECT expected = DialogUnitsToPixels(window, 0, 0, 404, 245);
    EXPECT_EQ(client.right, expected.right);
    EXPECT_EQ(client.bottom, expected.bottom);
    EXPECT_NE(SendMessageA(window, WM_GETICON, ICON_BIG, 0), 0) << "icon 105 is the large icon";
    EXPECT_EQ(LOWORD(SendMessageA(window, DM_GETDEFID, 0, 0)), IDC_OPEN_VERRO3);
    EXPECT_EQ(GetFocus(), GetDlgItem(window, IDC_OPEN_VERRO3));
}

TEST_F(MainWindowTest, StartsEmptyInTheProgramsFolder) {
    EXPECT_TRUE(ListEntries(window, IDC_PART_LIST).empty());
    EXPECT_TRUE(ListEntries(window, IDC_DUMMY_LIST).empty());
    EXPECT_EQ(ItemText(window, IDC_INFO_TEXT), "");
    // The test program is not called VerroFCEConverter.exe, so its whole path is kept.
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    EXPECT_STREQ(lastDirectory, path);
}

TEST_F(MainWindowTest, OpenFillsListsFieldsAndInfo) {
    Open(SmallCar());
    EXPECT_TRUE(responder.messages.empty());
    EXPECT_EQ(ListEntries(window, IDC_PART_LIST),
              (std::vector<std::string>{":HB", ":OD", SmallCar().partNames[2]}));
    EXPECT_EQ(ListEntries(window, IDC_DUMMY_LIST), (std::vector<std::string>{"HWYN5", "TRYO324"}));
    EXPECT_EQ(ListSelection(window, IDC_PART_LIST), 0);
    EXPECT_EQ(ListSelection(window, IDC_DUMMY_LIST), 0);
    EXPECT_EQ(ItemText(window, IDC_PART_NAME), ":HB");
    EXPECT_EQ(ItemText(window, IDC_DUMMY_NAME), "HWYN5");
    EXPECT_EQ(ItemText(window, IDC_INFO_TEXT), INFO_12_PARTS);
    EXPECT_EQ(std::string(lastDirectory), dir.Folder());
}

TEST_F(MainWindowTest, SelectionShowsTheName) {
    Open(SmallCar());
    SelectByUser(window, IDC_PART_LIST, 2);
    EXPECT_EQ(ItemText(window, IDC_PART_NAME), SmallCar().partNames[2]);
    SelectByUser(window, IDC_DUMMY_LIST, 1);
    EXPECT_EQ(ItemText(window, IDC_DUMMY_NAME), "TRYO324");
    EXPECT_EQ(ItemText(window, IDC_PART_NAME), SmallCar().partNames[2]);
    // Other notifications of the list change nothing.
    SendDlgItemMessageA(window, IDC_PART_LIST, LB_SETCURSEL, 0, 0);
    SendCommand(window, IDC_PART_LIST, LBN_DBLCLK);
    EXPECT_EQ(ItemText(window, IDC_PART_NAME), SmallCar().partNames[2]);
}

TEST_F(MainWindowTest, CarWithoutPartsOrDummies) {
    CarShape shape;
    shape.colourCount = 1;
    Open(shape);
    EXPECT_TRUE(ListEntries(window, IDC_PART_LIST).empty());
    EXPECT_TRUE(ListEntries(window, IDC_DUMMY_LIST).empty());
    EXPECT_EQ(ListSelection(window, IDC_PART_LIST), LB_ERR);
    EXPECT_EQ(ItemText(window, IDC_PART_NAME), "");
    EXPECT_EQ(ItemText(window, IDC_DUMMY_NAME), "");
    EXPECT_EQ(ItemText(window, IDC_INFO_TEXT), "Number of triangles=0\r\nNumber of vertices=0\r\n"
                                               "Number of dummies=0\r\nNumber of parts=0\r\n"
                                               "Number of colors=1\r\n");
}

TEST_F(MainWindowTest, SecondOpenReplacesTheWholeList) {
    Open(SmallCar());
    SelectByUser(window, IDC_PART_LIST, 2);
    CarShape other;
    other.partVertexCounts = {3};
    other.partTriangleCounts = {1};
    other.partNames = {":TB"};
    Open(other);
    EXPECT_EQ(ListEntries(window, IDC_PART_LIST), std::vector<std::string>{":TB"});
    EXPECT_EQ(ItemText(window, IDC_PART_NAME), ":TB");
    EXPECT_TRUE(ListEntries(window, IDC_DUMMY_LIST).empty());
    EXPECT_EQ(ItemText(window, IDC_DUMMY_NAME), "");
}

TEST_F(MainWindowTest, FailedOpenClearsTheWindow) {
    Open(SmallCar());
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

TEST_F(MainWindowTest, CancelledOpenKeepsTheCarShown) {
    Open(SmallCar());
    responder.Cancel();
    SendCommand(window, IDC_OPEN_VERRO3);
    EXPECT_EQ(ListEntries(window, IDC_PART_LIST).size(), 3u);
    EXPECT_EQ(ItemText(window, IDC_INFO_TEXT), INFO_12_PARTS);
    EXPECT_TRUE(responder.messages.empty());
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
