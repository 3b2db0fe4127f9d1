#include "mainwin/choosers.h"
#include "mainwin/dummy_names.h"
#include "platform/win32_handles.h"
#include "resources/resource.h"
#include "tests/gui/gui_support.h"
#include "tests/gui/modal_steps.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const char* const ROW_DESCRIPTIONS[] = {
    "High Body",
    "High Left Front Wheel",
    "High Right Front Wheel",
    "High Left Rear Wheel",
    "High Right Rear Wheel",
    "Medium Body",
    "Medium Left Front Wheel",
    "Medium Right Front Wheel",
    "Medium Left Rear Wheel",
    "Medium Right Rear Wheel",
    "Low Body",
    "Tiny Body",
    "High Left Middle Wheel",
    "High Right Middle Wheel",
    "Medium Left Middle Wheel",
    "Medium Right Middle Wheel",
    "Interior",
    "Driver's chair and steering wheel",
    "Driver holding steering wheel",
    "Driver head",
    "Dash when lit",
    "Left Mirror",
    "Right Mirror",
    "Left Front Brake",
    "Right Front Brake",
    "Popup lights",
    "Top of Convertibles",
};

int RowButton(int row) {
    return row == 1 ? 1012 : 1019 + row;
}

struct Choice {
    int id;
    std::string text;
};

// The six columns of dialog 104, top to bottom, as the dialog is described.
std::vector<std::vector<Choice>> DummyColumns() {
    std::vector<std::vector<Choice>> columns = {
        {{1013, "Head"},
         {1014, "Tail"},
         {1015, "Brake"},
         {1016, "Reverse"},
         {1017, "Direction"},
         {1018, "Siren"}},
        {{1019, "White"}, {1020, "Red"}, {1021, "Blue"}, {1022, "Orange"}},
        {{1023, "Flashing 1"}, {1024, "Flashing 2"}, {1025, "No flashing"}},
        {{1026, "Broken"}},
        {{1036, "Constant"}, {1037, "Time 1"}},
        {{1053, "No delay"}},
    };
    for (int i = 1; i <= 9; ++i) {
        columns[3].push_back({1026 + i, "Intensity " + std::to_string(i)});
        if (i >= 2) {
            columns[4].push_back({1042 + i, "Time " + std::to_string(i)});
        }
        columns[5].push_back({1053 + i, "Delay " + std::to_string(i)});
    }
    columns[4].push_back({1052, "Empty"});
    columns[5].push_back({1063, "Empty"});
    return columns;
}

const Choice FIXED_BUTTONS[] = {
    {1065, "License plate Europe"}, {1066, "License plate high"}, {1067, "License plate medium"},
    {1068, "License plate low"},    {1069, "Smoke generator"},    {1070, "Water generator"},
};

std::vector<int> Rect(const TemplateItem& item) {
    return {item.x, item.y, item.cx, item.cy};
}

void ExpectChooserFrame(const DialogTemplate& t, const char* caption, int cx, int cy) {
    EXPECT_EQ(t.caption, caption);
    EXPECT_EQ(t.fontName, "MS Sans Serif");
    EXPECT_EQ(t.fontSize, 8);
    EXPECT_EQ(t.cx, cx);
    EXPECT_EQ(t.cy, cy);
    EXPECT_EQ(t.style & (WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME),
              DWORD(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME));
    for (const TemplateItem& item : t.items) {
        EXPECT_EQ(item.style & (WS_CHILD | WS_VISIBLE | WS_DISABLED), DWORD(WS_CHILD | WS_VISIBLE))
            << item.id;
    }
}

TEST(ChooserTemplateTest, PartNameChooserMatchesItsDescription) {
    DialogTemplate t = ReadDialogTemplate(IDD_CHOOSE_PART_NAME);
    ExpectChooserFrame(t, "Choose part name", 228, 257);
    ASSERT_EQ(t.items.size(), 28u);
    // "Cancel" stands first, so that it takes the focus.
    const TemplateItem& cancel = t.items[0];
    EXPECT_EQ(cancel.id, IDCANCEL);
    EXPECT_EQ(cancel.className, "Button");
    EXPECT_EQ(cancel.text, "Cancel");
    EXPECT_EQ(cancel.style & BS_TYPEMASK, DWORD(BS_PUSHBUTTON));
    EXPECT_TRUE(cancel.style & WS_TABSTOP);
    EXPECT_EQ(Rect(cancel), (std::vector<int>{88, 240, 50, 14}));
    for (int row = 1; row <= 27; ++row) {
        const TemplateItem& item = t.items[row];
        EXPECT_EQ(item.id, RowButton(row)) << row;
        EXPECT_EQ(item.className, "Button") << row;
        EXPECT_EQ(item.text, "") << row;
        EXPECT_EQ(item.style & BS_TYPEMASK, DWORD(BS_PUSHBUTTON)) << row;
        int x = row <= 14 ? 4 : 116;
        int y = 4 + 16 * (row <= 14 ? row - 1 : row - 15);
        EXPECT_EQ(Rect(item), (std::vector<int>{x, y, 108, 14})) << row;
    }
}

TEST(ChooserTemplateTest, DummyChooserMatchesItsDescription) {
    DialogTemplate t = ReadDialogTemplate(IDD_CHOOSE_DUMMY);
    ExpectChooserFrame(t, "Choose dummy", 272, 233);
    // "OK" first: a checked radio button takes a tab stop, and the focus must start on "OK".
    std::vector<int> expectedOrder = {IDOK, IDCANCEL};
    const int columnX[] = {4, 48, 92, 136, 180, 224};
    auto columns = DummyColumns();
    for (size_t c = 0; c < columns.size(); ++c) {
        for (size_t i = 0; i < columns[c].size(); ++i) {
            const Choice& choice = columns[c][i];
            expectedOrder.push_back(choice.id);
            const TemplateItem* item = t.Find(choice.id);
            ASSERT_NE(item, nullptr) << choice.id;
            EXPECT_EQ(item->className, "Button") << choice.id;
            EXPECT_EQ(item->text, choice.text) << choice.id;
            EXPECT_EQ(item->style & BS_TYPEMASK, DWORD(BS_AUTORADIOBUTTON)) << choice.id;
            EXPECT_TRUE(item->style & BS_PUSHLIKE) << choice.id;
            EXPECT_FALSE(item->style & WS_TABSTOP) << choice.id;
            // Each column is one group of its own.
            EXPECT_EQ((item->style & WS_GROUP) != 0, i == 0) << choice.id;
            EXPECT_EQ(Rect(*item), (std::vector<int>{columnX[c], 4 + 16 * int(i), 44, 16})) << choice.id;
        }
    }
    for (int missing = 1038; missing <= 1043; ++missing) {
        EXPECT_EQ(t.Find(missing), nullptr) << missing;
    }
    const TemplateItem* ok = t.Find(IDOK);
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text, "OK");
    EXPECT_EQ(ok->style & BS_TYPEMASK, DWORD(BS_DEFPUSHBUTTON));
    EXPECT_TRUE(ok->style & WS_TABSTOP);
    EXPECT_EQ(Rect(*ok), (std::vector<int>{4, 164, 44, 16}));
    const TemplateItem* cancel = t.Find(IDCANCEL);
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(cancel->text, "Cancel");
    EXPECT_EQ(cancel->style & BS_TYPEMASK, DWORD(BS_PUSHBUTTON));
    EXPECT_EQ(Rect(*cancel), (std::vector<int>{52, 164, 44, 16}));

    const int fixedX[] = {16, 16, 96, 96, 176, 176};
    const int fixedY[] = {196, 212, 196, 212, 196, 212};
    for (int i = 0; i < 6; ++i) {
        const TemplateItem* item = t.Find(FIXED_BUTTONS[i].id);
        ASSERT_NE(item, nullptr) << FIXED_BUTTONS[i].id;
        EXPECT_EQ(item->text, FIXED_BUTTONS[i].text);
        EXPECT_EQ(item->style & BS_TYPEMASK, DWORD(BS_PUSHBUTTON)) << item->id;
        EXPECT_EQ(Rect(*item), (std::vector<int>{fixedX[i], fixedY[i], 76, 14})) << item->id;
        expectedOrder.push_back(item->id);
    }

    std::vector<int> order;
    int lines = 0;
    for (const TemplateItem& item : t.items) {
        if (item.className == "Static") {
            ++lines;
            EXPECT_EQ(item.style & SS_TYPEMASK, DWORD(SS_ETCHEDHORZ));
            EXPECT_TRUE(item.style & WS_GROUP) << "the delay column's group ends here";
            ASSERT_FALSE(order.empty());
            EXPECT_EQ(order.back(), 1063);
            EXPECT_EQ(item.y, 188);
            EXPECT_LE(item.x, 4);
            EXPECT_GE(item.x + item.cx, 268) << "the line runs across all six columns";
            continue;
        }
        order.push_back(item.id);
    }
    EXPECT_EQ(lines, 1);
    EXPECT_EQ(order, expectedOrder);
    // OK is the first control that tabbing reaches.
    for (const TemplateItem& item : t.items) {
        if (item.style & WS_TABSTOP) {
            EXPECT_EQ(item.id, IDOK);
            break;
        }
    }
}

class ChooserTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window = OpenMainWindow();
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override { DestroyWindow(window); }

    // Runs a chooser owned by the main window; step runs once it is up and should end it.
    // A dialog that the step leaves open ends with STILL_OPEN instead of hanging the test.
    INT_PTR Run(int templateId, DLGPROC procedure, std::function<void(HWND)> step) {
        DialogAnswerer answerer;
        AnswerWithStep(answerer, window, std::move(step));
        INT_PTR result = DialogBoxParamA(appInstance, MAKEINTRESOURCEA(templateId), window, procedure, 0);
        EXPECT_EQ(answerer.captions.size(), 1u);
        EXPECT_EQ(answerer.unexpected, 0);
        PumpMessages();
        return result;
    }
    INT_PTR RunPartChooser(std::function<void(HWND)> step) {
        return Run(IDD_CHOOSE_PART_NAME, ChoosePartNameDialog, std::move(step));
    }
    INT_PTR RunDummyChooser(std::function<void(HWND)> step) {
        return Run(IDD_CHOOSE_DUMMY, ChooseDummyDialog, std::move(step));
    }
    HWND window = nullptr;
};

// Where a chooser stands and how big it is, read while it runs.
struct Placement {
    RECT rect{};
    RECT expectedClient{};
    RECT client{};
};

Placement ReadPlacement(HWND dialog, int cx, int cy) {
    Placement p;
    p.rect = ScreenRect(dialog);
    p.expectedClient = DialogUnitsToPixels(dialog, 0, 0, cx, cy);
    GetClientRect(dialog, &p.client);
    return p;
}

TEST_F(ChooserTest, PartChooserShowsTheDescriptionsWithTheFocusOnCancel) {
    std::vector<std::string> texts;
    HWND focus = nullptr;
    HWND cancel = nullptr;
    std::string caption;
    INT_PTR result = RunPartChooser([&](HWND dialog) {
        caption = WindowText(dialog);
        for (int row = 1; row <= 27; ++row) {
            texts.push_back(ItemText(dialog, RowButton(row)));
        }
        focus = FocusInDialog(dialog);
        cancel = GetDlgItem(dialog, IDCANCEL);
        ClickNow(dialog, RowButton(19));
    });
    EXPECT_EQ(result, 19);
    EXPECT_EQ(caption, "Choose part name");
    EXPECT_EQ(texts, std::vector<std::string>(std::begin(ROW_DESCRIPTIONS), std::end(ROW_DESCRIPTIONS)));
    EXPECT_EQ(focus, cancel);
}

TEST_F(ChooserTest, EachRowButtonYieldsItsRow) {
    for (int row = 1; row <= 27; ++row) {
        EXPECT_EQ(RunPartChooser([row](HWND dialog) { ClickNow(dialog, RowButton(row)); }), row);
    }
}

TEST_F(ChooserTest, PartChooserCancelsWithButtonEscapeAndCloseBox) {
    for (CancelWay way : {CancelWay::Button, CancelWay::Escape, CancelWay::CloseBox}) {
        EXPECT_EQ(RunPartChooser([way](HWND dialog) { CancelBy(dialog, way); }), 0) << int(way);
    }
    // Nothing but a row button or a cancel ends it.
    EXPECT_EQ(RunPartChooser([](HWND dialog) {
                  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(1013, BN_CLICKED), 0);
                  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
              }),
              STILL_OPEN);
}

TEST_F(ChooserTest, ChoosersStandOverTheirControlWhereverTheMainWindowIs) {
    const POINT places[] = {{0, 0}, {173, 61}, {9, 140}};
    for (POINT place : places) {
        SetWindowPos(window, nullptr, place.x, place.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ASSERT_EQ(ScreenRect(window).left, place.x);
        RECT dummyList = ScreenRect(GetDlgItem(window, IDC_DUMMY_LIST));
        RECT infoText = ScreenRect(GetDlgItem(window, IDC_INFO_TEXT));

        Placement part;
        EXPECT_EQ(RunPartChooser([&](HWND dialog) {
                      part = ReadPlacement(dialog, 228, 257);
                      CancelBy(dialog, CancelWay::Button);
                  }),
                  0);
        EXPECT_EQ(part.rect.left, dummyList.left) << place.x;
        EXPECT_EQ(part.rect.top, dummyList.top) << place.y;
        EXPECT_EQ(part.client.right, part.expectedClient.right);
        EXPECT_EQ(part.client.bottom, part.expectedClient.bottom);

        Placement dummy;
        EXPECT_EQ(RunDummyChooser([&](HWND dialog) {
                      dummy = ReadPlacement(dialog, 272, 233);
                      CancelBy(dialog, CancelWay::Button);
                  }),
                  0);
        EXPECT_EQ(dummy.rect.left, infoText.left) << place.x;
        EXPECT_EQ(dummy.rect.top, infoText.top) << place.y;
        EXPECT_EQ(dummy.client.right, dummy.expectedClient.right);
        EXPECT_EQ(dummy.client.bottom, dummy.expectedClient.bottom);
    }
}

// The ids of the checked choice buttons, in column order.
std::vector<int> CheckedChoices(HWND dialog) {
    std::vector<int> checked;
    for (const auto& column : DummyColumns()) {
        for (const Choice& choice : column) {
            if (IsDlgButtonChecked(dialog, choice.id) == BST_CHECKED) {
                checked.push_back(choice.id);
            }
        }
    }
    return checked;
}

const std::vector<int> DEFAULT_CHOICES = {1013, 1019, 1025, 1031, 1052, 1063};

TEST_F(ChooserTest, DummyChooserOpensAtTheDefaultsWithTheFocusOnOk) {
    SetChosenDummyName(":WATER");
    std::vector<int> checked;
    std::string nameAtStart, caption;
    bool focusOnOk = false;
    LRESULT defaultId = 0;
    INT_PTR result = RunDummyChooser([&](HWND dialog) {
        caption = WindowText(dialog);
        checked = CheckedChoices(dialog);
        nameAtStart = chosenDummyName;
        focusOnOk = FocusInDialog(dialog) == GetDlgItem(dialog, IDOK);
        defaultId = LOWORD(SendMessageA(dialog, DM_GETDEFID, 0, 0));
        ClickNow(dialog, IDOK);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(caption, "Choose dummy");
    EXPECT_EQ(checked, DEFAULT_CHOICES);
    EXPECT_EQ(nameAtStart, "HWYN5");
    EXPECT_TRUE(focusOnOk);
    EXPECT_EQ(defaultId, IDOK);
    EXPECT_STREQ(chosenDummyName, "HWYN5");
    // The Enter key is "OK" too.
    result = RunDummyChooser([](HWND dialog) {
        ClickNow(dialog, 1014);
        SetFocus(GetDlgItem(dialog, IDOK));
        PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
    });
    EXPECT_EQ(result, 1);
    EXPECT_STREQ(chosenDummyName, "TWYN5");
}

TEST_F(ChooserTest, DummyChooserBuildsTheNameOfTheClickedButtons) {
    struct Case {
        std::vector<int> clicks;
        const char* expected;
    } cases[] = {
        {{}, "HWYN5"},
        {{1014, 1020, 1023, 1029, 1044, 1057}, "TRYO324"},
        {{1015, 1020, 1024, 1035, 1045, 1054}, "BRYE931"},
        {{1046}, "HWYN54"},                   // "Time 4", the delay left at "Empty"
        {{1055}, "HWYN5"},                    // "Delay 2" without a time is dropped
        {{1036, 1053}, "HWYN500"},            // "Constant", "No delay"
        {{1017, 1026}, "PWYN0"},              // "Direction", "Broken"
        {{1016, 1021, 1022}, "ROYN5"},        // "Reverse", the last colour clicked
        {{1045, 1058, 1052}, "HWYN5"},        // "Time 3", "Delay 5", then the time's "Empty"
        {{1045, 1058, 1052, 1046}, "HWYN54"}, // ... the delay went to "Empty" with it
        {{1045, 1058, 1063}, "HWYN5"},        // "Time 3", "Delay 5", then the delay's "Empty"
        {{1018, 1022, 1023, 1027, 1051, 1062}, "SOYO199"},
    };
    for (const Case& c : cases) {
        INT_PTR result = RunDummyChooser([&](HWND dialog) {
            for (int id : c.clicks) {
                ClickNow(dialog, id);
            }
            ClickNow(dialog, IDOK);
        });
        EXPECT_EQ(result, 1);
        EXPECT_STREQ(chosenDummyName, c.expected) << ::testing::PrintToString(c.clicks);
    }
}

TEST_F(ChooserTest, EmptyButtonsMoveTheOtherColumn) {
    std::vector<std::vector<int>> states;
    INT_PTR result = RunDummyChooser([&](HWND dialog) {
        ClickNow(dialog, 1045); // "Time 3": the delay column stays where it is
        states.push_back(CheckedChoices(dialog));
        ClickNow(dialog, 1058); // "Delay 5"
        ClickNow(dialog, 1052); // the time column's "Empty"
        states.push_back(CheckedChoices(dialog));
        ClickNow(dialog, 1045);
        ClickNow(dialog, 1058);
        ClickNow(dialog, 1063); // the delay column's "Empty"
        states.push_back(CheckedChoices(dialog));
        // Only a click moves the other column.
        ClickNow(dialog, 1045);
        ClickNow(dialog, 1058);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(1052, BN_DOUBLECLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, 1052)));
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(1063, BN_SETFOCUS),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, 1063)));
        states.push_back(CheckedChoices(dialog));
        ClickNow(dialog, IDCANCEL);
    });
    EXPECT_EQ(result, 0);
    ASSERT_EQ(states.size(), 4u);
    EXPECT_EQ(states[0], (std::vector<int>{1013, 1019, 1025, 1031, 1045, 1063}));
    EXPECT_EQ(states[1], (std::vector<int>{1013, 1019, 1025, 1031, 1052, 1063}));
    EXPECT_EQ(states[2], (std::vector<int>{1013, 1019, 1025, 1031, 1052, 1063}));
    EXPECT_EQ(states[3], (std::vector<int>{1013, 1019, 1025, 1031, 1045, 1058}));
}

TEST_F(ChooserTest, FixedNameButtonsEndWithTheirName) {
    const char* names[] = {":LICENSE_EURO", ":LICENSE", ":LICMED", ":LICLOW", ":SMOKE", ":WATER"};
    for (int i = 0; i < 6; ++i) {
        INT_PTR result = RunDummyChooser([&](HWND dialog) {
            ClickNow(dialog, 1014); // the columns are not consulted
            ClickNow(dialog, 1046);
            ClickNow(dialog, FIXED_BUTTONS[i].id);
        });
        EXPECT_EQ(result, 1);
        EXPECT_STREQ(chosenDummyName, names[i]);
    }
}

TEST_F(ChooserTest, DummyChooserCancelsWithButtonEscapeAndCloseBox) {
    for (CancelWay way : {CancelWay::Button, CancelWay::Escape, CancelWay::CloseBox}) {
        INT_PTR result = RunDummyChooser([way](HWND dialog) {
            ClickNow(dialog, 1015);
            SetFocus(GetDlgItem(dialog, IDOK));
            CancelBy(dialog, way);
        });
        EXPECT_EQ(result, 0) << int(way);
    }
    // A choice button alone ends nothing.
    EXPECT_EQ(RunDummyChooser([](HWND dialog) { ClickNow(dialog, 1020); }), STILL_OPEN);
}

} // namespace
