// Naming parts and dummies by typing, through both choosers and by "Set default".
#include "mainwin/part_codes.h"
#include "model/car_model.h"
#include "tests/gui/main_window_fixture.h"

#include <functional>

namespace {

class EditingCommandsTest : public MainWindowFixture {
  protected:
    void Choose(int button, std::function<void(HWND)> step) {
        DialogAnswerer answerer;
        answerer.Then(std::move(step));
        SendCommand(window, button);
        EXPECT_EQ(answerer.captions,
                  std::vector<std::string>{button == IDC_CHOOSE_PART ? "Choose part name" : "Choose dummy"});
    }
    // Typed text is committed when the field loses the focus.
    void Type(int fieldId, const std::string& text, int nextFocus) {
        SetFocus(GetDlgItem(window, fieldId));
        SetDlgItemTextA(window, fieldId, text.c_str());
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
        RECT client, size = {0, 0, width, height};
        GetClientRect(dialog, &client);
        MapDialogRect(dialog, &size);
        const RECT over = ScreenRect(GetDlgItem(window, controlId)), rect = ScreenRect(dialog);
        EXPECT_EQ((std::vector<LONG>{rect.left, rect.top, client.right, client.bottom}),
                  (std::vector<LONG>{over.left, over.top, size.right, size.bottom}));
    }
};

// Names that fill all 64 bytes, as a file may hold them, are cleared whole by every rename; typed
// text is cut at 63.
TEST_F(EditingCommandsTest, PartNamesByTypingByTheChooserAndByDefault) {
    const std::string full = std::string(63, 'q') + "Z";
    const std::vector<uint32_t> vertexCounts(13, 3), triangleCounts(13, 1);
    Open({vertexCounts, triangleCounts, std::vector<std::string>(13, full), {}, 0, 1});
    std::vector<std::string> parts(13, full.substr(0, 63));
    SetWindowPos(window, nullptr, 173, 61, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SelectByUser(window, IDC_PART_LIST, 0);
    Type(IDC_PART_NAME, std::string(62, 'a') + "Bccc", IDC_PART_LIST);
    parts[0] = std::string(62, 'a') + "B";
    EXPECT_EQ(ItemText(window, IDC_PART_NAME), parts[0] + "ccc");
    const char* codes[] = {":HB",   ":HLFW", ":HRFW", ":HLRW", ":HRRW", ":MB",   ":MLFW", ":MRFW", ":MLRW",
                           ":MRRW", ":LB",   ":TB",   ":HLMW", ":HRMW", ":MLMW", ":MRMW", ":OC",   ":OND",
                           ":OD",   ":OH",   ":ODL",  ":OLM",  ":ORM",  ":OLB",  ":ORB",  ":OL",   ":OT"};
    for (int row = 1; row <= PART_CODE_COUNT; ++row) {
        const int part = 1 + row % 12;
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
    }
    Choose(IDC_CHOOSE_PART, [](HWND dialog) { PostMessageA(dialog, WM_KEYDOWN, VK_ESCAPE, 0); });
    ExpectNames(parts, {});
    SendCommand(window, IDC_SET_DEFAULT);
    std::copy(codes, codes + 12, parts.begin());
    EXPECT_EQ(ItemText(window, IDC_PART_NAME), ":HB");
    ExpectNames(parts, {});
}

// A negative id: a double click, which is not a click. Every run starts from the defaults.
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
    // Typing names the entry selected while it was typed; "Set default" names as many parts as there are.
    Type(IDC_DUMMY_NAME, "SBYO9", IDC_DUMMY_LIST);
    SelectByUser(window, IDC_DUMMY_LIST, 0);
    SendCommand(window, IDC_SET_DEFAULT);
    ExpectNames({":HB", ":HLFW", ":HRFW"}, {"HWYN5", "SBYO9"});
}

} // namespace
