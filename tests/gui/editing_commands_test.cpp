// Naming parts and dummies from the main window, by typing, through both choosers and by
// "Set default", and the driver part check; what the window shows is what the saved file holds.
#include "mainwin/part_codes.h"
#include "model/car_model.h"
#include "model/kesh.h"
#include "tests/gui/main_window_fixture.h"

#include <functional>

namespace {

// 64 characters: the file fills the whole field and leaves no terminator; the window shows 63.
const std::string FULL_FIELD = std::string(63, 'q') + "Z", FULL_FIELD_SHOWN = FULL_FIELD.substr(0, 63);

class EditingCommandsTest : public MainWindowFixture {
  protected:
    // Presses "Choose..." under a list and answers the chooser with step, which must end it.
    void Choose(int button, std::function<void(HWND)> step) {
        DialogAnswerer answerer;
        answerer.Then(std::move(step));
        SendCommand(window, button);
        EXPECT_EQ(answerer.captions,
                  std::vector<std::string>{button == IDC_CHOOSE_PART ? "Choose part name" : "Choose dummy"});
        EXPECT_EQ(answerer.unexpected, 0) << "the chooser did not end";
    }
    // Types into a name field as the user would: it takes the focus, gets the text and loses the
    // focus to the control named next.
    void Type(int fieldId, const std::string& text, int nextFocus) {
        SetFocus(GetDlgItem(window, fieldId));
        SetDlgItemTextA(window, fieldId, text.c_str());
        SetFocus(GetDlgItem(window, nextFocus));
        PumpMessages();
    }
    // The window's lists and the names in the car saved as a Kesh file agree, byte for byte.
    void ExpectSaved(const std::vector<std::string>& parts, const std::vector<std::string>& dummies) {
        EXPECT_EQ(ListEntries(window, IDC_PART_LIST), parts);
        EXPECT_EQ(ListEntries(window, IDC_DUMMY_LIST), dummies);
        ASSERT_EQ(SaveKeshPath(dir.File("saved.fce").c_str()), 1);
        const Bytes file = ReadBytes(dir.File("saved.fce"));
        const auto* header = reinterpret_cast<const FceKeshHeader*>(file.data());
        for (size_t i = 0; i < parts.size() + dummies.size(); ++i) {
            const char* field =
                i < parts.size() ? header->partNames[i] : header->dummyNames[i - parts.size()];
            const std::string& name = i < parts.size() ? parts[i] : dummies[i - parts.size()];
            EXPECT_EQ(std::string(field, NAME_SIZE), name + std::string(NAME_SIZE - name.size(), '\0')) << i;
        }
    }
    // The chooser stands with its top-left corner on that of a control of the main window, in
    // the size of its template.
    void ExpectOver(HWND dialog, int controlId, int width, int height) {
        RECT client, size = {0, 0, width, height};
        GetClientRect(dialog, &client);
        MapDialogRect(dialog, &size);
        const RECT over = ScreenRect(GetDlgItem(window, controlId)), rect = ScreenRect(dialog);
        EXPECT_EQ((std::vector<LONG>{rect.left, rect.top, client.right, client.bottom}),
                  (std::vector<LONG>{over.left, over.top, size.right, size.bottom}));
    }
};

TEST_F(EditingCommandsTest, PartNamesByTypingByTheChooserAndByDefault) {
    CarShape shape = SmallCar();
    shape.partNames = std::vector<std::string>(13, FULL_FIELD); // which every rename must clear whole
    shape.partNames[0] = shape.partNames[1] = ":P";
    shape.partVertexCounts.assign(13, 3);
    shape.partTriangleCounts.assign(13, 1);
    Open(shape);
    std::vector<std::string> parts(13, FULL_FIELD_SHOWN);
    parts[0] = parts[1] = ":P";
    // Typed text is cut at 63 in the list and the car, and committed when the field loses the
    // focus to whatever control; an empty field gives an empty name.
    SetWindowPos(window, nullptr, 173, 61, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SelectByUser(window, IDC_PART_LIST, 2);
    Type(IDC_PART_NAME, std::string(62, 'a') + "Bccc", IDC_PART_LIST);
    parts[2] = std::string(62, 'a') + "B";
    EXPECT_EQ(ItemText(window, IDC_PART_NAME), parts[2] + "ccc") << "the field itself keeps the text";
    SelectByUser(window, IDC_PART_LIST, 3);
    Type(IDC_PART_NAME, "", IDC_CHOOSE_PART);
    parts[3] = "";
    // Each row of the chooser gives its code to the selected part; Escape gives nothing.
    const char* codes[] = {":HB",   ":HLFW", ":HRFW", ":HLRW", ":HRRW", ":MB",   ":MLFW", ":MRFW", ":MLRW",
                           ":MRRW", ":LB",   ":TB",   ":HLMW", ":HRMW", ":MLMW", ":MRMW", ":OC",   ":OND",
                           ":OD",   ":OH",   ":ODL",  ":OLM",  ":ORM",  ":OLB",  ":ORB",  ":OL",   ":OT"};
    for (int row = 1; row <= PART_CODE_COUNT; ++row) {
        const int part = 4 + row % 9;
        SelectByUser(window, IDC_PART_LIST, part);
        Choose(IDC_CHOOSE_PART, [&](HWND dialog) {
            EXPECT_EQ(ItemText(dialog, PartCodeTable[row - 1].buttonId), PartCodeTable[row - 1].description);
            if (row == 1) {
                ExpectOver(dialog, IDC_DUMMY_LIST, 228, 257);
            }
            ClickNow(dialog, row == 1 ? 1012 : 1019 + row);
        });
        parts[size_t(part)] = codes[row - 1];
        EXPECT_EQ(ItemText(window, IDC_PART_NAME), codes[row - 1]);
        EXPECT_EQ(ListSelection(window, IDC_PART_LIST), part);
    }
    Choose(IDC_CHOOSE_PART, [](HWND dialog) { PostMessageA(dialog, WM_KEYDOWN, VK_ESCAPE, 0); });
    ExpectSaved(parts, {"HWYN5", "TRYO324"});
    // "Set default" names the first twelve parts and selects the first.
    SendCommand(window, IDC_SET_DEFAULT);
    std::copy(codes, codes + 12, parts.begin());
    EXPECT_EQ(ItemText(window, IDC_PART_NAME), ":HB");
    ExpectSaved(parts, {"HWYN5", "TRYO324"});
}

// The name the dummy gets from the buttons clicked (a negative id: a double click, which is not
// a click). Every run starts from the defaults, whatever the dummy's present name.
TEST_F(EditingCommandsTest, DummyChooserGivesTheNameOfTheButtonsClicked) {
    Open(SmallCar());
    SelectByUser(window, IDC_DUMMY_LIST, 1);
    auto dummy = [this](std::vector<int> clicks) {
        Choose(IDC_CHOOSE_DUMMY, [&](HWND dialog) {
            if (clicks.size() == 1) {
                ExpectOver(dialog, IDC_INFO_TEXT, 272, 233);
            }
            for (int id : clicks) {
                if (id > 0) {
                    ClickNow(dialog, id);
                } else {
                    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(-id, BN_DOUBLECLICKED),
                                 LPARAM(GetDlgItem(dialog, -id)));
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
    };
    for (const auto& [clicks, expected] : cases) {
        EXPECT_EQ(dummy(clicks), expected);
    }
    // The fixed names, whatever the columns show; Cancel gives nothing.
    const char* fixed[] = {":LICENSE_EURO", ":LICENSE", ":LICMED", ":LICLOW", ":SMOKE", ":WATER"};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(dummy({1014, 1046, 1065 + i}), fixed[i]);
    }
    EXPECT_EQ(dummy({1014, IDCANCEL}), ":WATER");
    ExpectSaved({":HB", ":OD", ":LB"}, {"HWYN5", ":WATER"});
    // Every digit of the last three columns; "Time 1" and "Time 2" are not neighbours by id.
    for (int d = 1; d <= 9; ++d) {
        const std::string n(1, char('0' + d));
        EXPECT_EQ(dummy({1026 + d, 1036, 1053, IDOK}), "HWYN" + n + "00");
        EXPECT_EQ(dummy({d == 1 ? 1037 : 1042 + d, 1053, IDOK}), "HWYN5" + n + "0");
        EXPECT_EQ(dummy({1036, 1053 + d, IDOK}), "HWYN50" + n);
    }
    // Typing replaces the name of the entry that was selected while it was typed; "Set default"
    // names as many parts as the car has, up to twelve.
    Type(IDC_DUMMY_NAME, "SBYO9", IDC_DUMMY_LIST);
    SelectByUser(window, IDC_DUMMY_LIST, 0);
    EXPECT_EQ(ItemText(window, IDC_DUMMY_NAME), "HWYN5");
    SendCommand(window, IDC_SET_DEFAULT);
    ExpectSaved({":HB", ":HLFW", ":HRFW"}, {"HWYN5", "SBYO9"});
}

TEST_F(EditingCommandsTest, DriverMovementsWantExactlyOnePartNamedOD) {
    Open(SmallCar());
    const std::string message = "Part :OD  (Driver) not found or there is more than one part :OD";
    // Types a part name and clicks "Driver movements"; the name reaches the car first, as the
    // click moves the focus to the button before the button reports it.
    auto check = [this](int entry, const char* name) {
        DialogAnswerer answerer;
        answerer.Then([](HWND dialog) { PostClick(dialog, IDCANCEL); });
        SelectByUser(window, IDC_PART_LIST, entry);
        SetFocus(GetDlgItem(window, IDC_PART_NAME));
        SetDlgItemTextA(window, IDC_PART_NAME, name);
        SendMessageA(GetDlgItem(window, IDC_DRIVER_MOVEMENTS), BM_CLICK, 0, 0);
        PumpMessages();
        return answerer.captions;
    };
    const std::vector<std::string> opened = {"Select moving driver vertices"}, none;
    EXPECT_EQ(check(0, ":HB"), opened) << "exactly one";
    EXPECT_EQ(check(1, ":od"), none) << "none";
    EXPECT_EQ(check(0, ":OD"), opened) << "exactly one";
    EXPECT_EQ(check(1, ":OD"), none) << "two";
    EXPECT_EQ(responder.messages, std::vector<std::string>(2, message));
}

} // namespace
