#include "mainwin/part_codes.h"
#include "model/car_model.h"
#include "platform/win32_handles.h"
#include "tests/gui/main_window_fixture.h"
#include "tests/gui/modal_steps.h"

#include <cstring>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

// 64 characters: the file fills the whole field and leaves no terminator; the window shows 63.
const std::string FULL_FIELD = std::string(63, 'q') + "Z", FULL_FIELD_SHOWN = FULL_FIELD.substr(0, 63);

// The small car with other parts; its dummies are "HWYN5" and "TRYO324".
CarShape Car(std::vector<std::string> partNames) {
    CarShape shape = SmallCar();
    shape.partVertexCounts.assign(partNames.size(), 3);
    shape.partTriangleCounts.assign(partNames.size(), 1);
    shape.partNames = std::move(partNames);
    return shape;
}

// A name as every command writes it: the whole field cleared first.
void Name(char (&field)[NAME_SIZE], const std::string& text) {
    std::memset(field, 0, NAME_SIZE);
    std::strcpy(field, text.c_str());
}

class EditingCommandsTest : public MainWindowFixture {
  protected:
    // What the window shows: each list ("entry|entry| @selected") followed by its name field,
    // then the info text.
    std::vector<std::string> Shown() const {
        auto list = [this](int id) {
            std::string shown;
            for (const std::string& entry : ListEntries(window, id)) {
                shown += entry + "|";
            }
            return shown + " @" + std::to_string(ListSelection(window, id));
        };
        return {list(IDC_PART_LIST), ItemText(window, IDC_PART_NAME), list(IDC_DUMMY_LIST),
                ItemText(window, IDC_DUMMY_NAME), ItemText(window, IDC_INFO_TEXT)};
    }
    // The window shows shown and the car's header is header, byte for byte.
    void ExpectState(const std::vector<std::string>& shown, const FceKeshHeader& header) {
        EXPECT_EQ(Shown(), shown);
        EXPECT_EQ(std::memcmp(&header, &carModel.header, sizeof header), 0) << "the car's header";
    }
    // Presses "Choose..." under a list and answers the chooser with step, which must end it.
    void WithChooser(int button, std::function<void(HWND)> step) {
        const int leftOpen = dialogsLeftOpen;
        DialogAnswerer answerer;
        AnswerWithStep(answerer, window, std::move(step));
        SendCommand(window, button);
        PumpMessages();
        EXPECT_EQ(answerer.captions,
                  std::vector<std::string>{button == IDC_CHOOSE_PART ? "Choose part name" : "Choose dummy"});
        EXPECT_EQ(dialogsLeftOpen, leftOpen) << "the chooser did not end";
    }
    // Types into a name field as the user would: it takes the focus, gets the text and loses
    // the focus to the control named next.
    void Type(int fieldId, const std::string& text, int nextFocus) {
        SetFocus(GetDlgItem(window, fieldId));
        ASSERT_EQ(GetFocus(), GetDlgItem(window, fieldId));
        SetDlgItemTextA(window, fieldId, text.c_str());
        SetFocus(GetDlgItem(window, nextFocus));
        PumpMessages();
    }
};

TEST_F(EditingCommandsTest, PartChooserWritesTheCodeIntoListFieldAndModelUnlessCancelled) {
    Open(Car({":HB", FULL_FIELD, "third"}));
    SelectByUser(window, IDC_PART_LIST, 1);
    SelectByUser(window, IDC_DUMMY_LIST, 1);
    std::vector<std::string> shown = Shown();
    FceKeshHeader header = carModel.header;
    // "Cancel", the Escape key (which the modal loop turns into a cancel) and the close box
    // change nothing.
    for (void (*cancel)(HWND) : {+[](HWND dialog) { ClickNow(dialog, IDCANCEL); },
                                 +[](HWND dialog) { PostMessageA(dialog, WM_KEYDOWN, VK_ESCAPE, 0); },
                                 +[](HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }}) {
        WithChooser(IDC_CHOOSE_PART, cancel);
        WithChooser(IDC_CHOOSE_DUMMY, [cancel](HWND dialog) {
            ClickNow(dialog, 1014);
            ClickNow(dialog, 1046);
            cancel(dialog);
        });
        ExpectState(shown, header);
    }
    std::vector<std::string> texts, descriptions;
    HWND focus = nullptr, cancel = nullptr;
    WithChooser(IDC_CHOOSE_PART, [&](HWND dialog) {
        for (const PartCode& row : PartCodeTable) {
            texts.push_back(ItemText(dialog, row.buttonId));
            descriptions.push_back(row.description);
        }
        focus = FocusInDialog(dialog);
        cancel = GetDlgItem(dialog, IDCANCEL);
        ClickNow(dialog, 1038);
    });
    EXPECT_EQ(texts, descriptions);
    EXPECT_EQ(focus, cancel) << "the focus starts on Cancel";
    shown[0] = ":HB|:OD|third| @1";
    shown[1] = ":OD";
    Name(header.partNames[1], ":OD");
    ExpectState(shown, header);
}

TEST_F(EditingCommandsTest, DummyChooserWritesTheNameOfTheClickedButtons) {
    Open(SmallCar());
    SelectByUser(window, IDC_DUMMY_LIST, 1);
    std::vector<std::string> shown = Shown();
    FceKeshHeader header = carModel.header;
    // The buttons clicked (a negative id: a double click, which is not a click), the time and
    // delay buttons then checked, and the name written.
    struct Case {
        std::vector<int> clicks, timeAndDelay;
        std::string name;
    } cases[] = {
        {{IDOK}, {1052, 1063}, "HWYN5"}, // the defaults, whatever the dummy's present name
        {{1014, 1020, 1023, 1029, 1044, 1057, IDOK}, {1044, 1057}, "TRYO324"},
        {{1046, IDOK}, {1046, 1063}, "HWYN54"},            // the delay left at "Empty"
        {{1055, IDOK}, {1052, 1055}, "HWYN5"},             // a delay without a time is dropped
        {{1045, 1053, 1052, IDOK}, {1052, 1063}, "HWYN5"}, // "Empty" moves the other column,
        {{1036, 1058, 1063, IDOK}, {1052, 1063}, "HWYN5"}, // from its first button too
        {{1045, 1058, -1052, -1063, IDOK}, {1045, 1058}, "HWYN535"},
        {{1014, 1046, 1065}, {1046, 1063}, ":LICENSE_EURO"}, // the columns are not consulted
    };
    for (const Case& c : cases) {
        std::vector<int> checked;
        HWND focus = nullptr, ok = nullptr;
        LRESULT defaultId = 0;
        WithChooser(IDC_CHOOSE_DUMMY, [&](HWND dialog) {
            focus = FocusInDialog(dialog);
            ok = GetDlgItem(dialog, IDOK);
            defaultId = LOWORD(SendMessageA(dialog, DM_GETDEFID, 0, 0));
            for (int id : c.clicks) {
                if (id > 0) {
                    ClickNow(dialog, id);
                } else {
                    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(-id, BN_DOUBLECLICKED),
                                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, -id)));
                }
            }
            for (int id = 1036; id <= 1063; ++id) {
                if (IsDlgButtonChecked(dialog, id) == BST_CHECKED) {
                    checked.push_back(id);
                }
            }
        });
        EXPECT_EQ(focus, ok) << "the focus starts on OK";
        EXPECT_EQ(defaultId, IDOK);
        EXPECT_EQ(checked, c.timeAndDelay) << c.name;
        shown[2] = "HWYN5|" + c.name + "| @1";
        shown[3] = c.name;
        Name(header.dummyNames[1], c.name);
        ExpectState(shown, header);
    }
}

TEST_F(EditingCommandsTest, ChoosersStandOverTheirControlWhereverTheMainWindowIs) {
    Open(SmallCar());
    for (POINT place : {POINT{0, 0}, POINT{173, 61}, POINT{9, 140}}) {
        SetWindowPos(window, nullptr, place.x, place.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        for (auto [button, control, cx, cy] : {std::tuple{IDC_CHOOSE_PART, IDC_DUMMY_LIST, 228, 257},
                                               std::tuple{IDC_CHOOSE_DUMMY, IDC_INFO_TEXT, 272, 233}}) {
            RECT rect{}, client{}, size{};
            WithChooser(button, [&, cx = cx, cy = cy](HWND dialog) {
                rect = ScreenRect(dialog);
                GetClientRect(dialog, &client);
                size = DialogUnitsToPixels(dialog, 0, 0, cx, cy);
                ClickNow(dialog, IDCANCEL);
            });
            const RECT over = ScreenRect(GetDlgItem(window, control));
            EXPECT_EQ((std::vector<LONG>{rect.left, rect.top, client.right, client.bottom}),
                      (std::vector<LONG>{over.left, over.top, size.right, size.bottom}))
                << button << " with the main window at " << place.x << ", " << place.y;
        }
    }
    // Without the main window's control a chooser stays where the system put it: over the
    // main window's top-left corner or that of its client area.
    RECT rect{};
    const HWND main = std::exchange(mainWindow, nullptr);
    WithChooser(IDC_CHOOSE_PART, [&](HWND dialog) {
        rect = ScreenRect(dialog);
        ClickNow(dialog, IDCANCEL);
    });
    mainWindow = main;
    POINT client{0, 0};
    ClientToScreen(window, &client);
    const RECT owner = ScreenRect(window);
    EXPECT_TRUE((rect.left == owner.left && rect.top == owner.top) ||
                (rect.left == client.x && rect.top == client.y))
        << rect.left << ", " << rect.top;
}

TEST_F(EditingCommandsTest, TypedNamesAreCommittedWhenTheFieldLosesTheFocus) {
    Open(Car({":HB", FULL_FIELD, "third"}));
    std::vector<std::string> shown = Shown();
    FceKeshHeader header = carModel.header;
    // The list and the model get the first 63 characters; the field itself is not rewritten.
    const std::string seventy = std::string(62, 'a') + "B" + std::string(7, 'c'), cut = seventy.substr(0, 63);
    SelectByUser(window, IDC_PART_LIST, 2);
    Type(IDC_PART_NAME, seventy, IDC_PART_LIST);
    shown[0] = ":HB|" + FULL_FIELD_SHOWN + "|" + cut + "| @2";
    shown[1] = seventy;
    Name(header.partNames[2], cut);
    ExpectState(shown, header);
    // Unchanged text is written again: the name that filled its whole field now ends in a NUL.
    SelectByUser(window, IDC_PART_LIST, 1);
    Type(IDC_PART_NAME, FULL_FIELD_SHOWN, IDC_CHOOSE_PART);
    shown[0] = ":HB|" + FULL_FIELD_SHOWN + "|" + cut + "| @1";
    shown[1] = FULL_FIELD_SHOWN;
    Name(header.partNames[1], FULL_FIELD_SHOWN);
    ExpectState(shown, header);
    // An empty field gives an empty name, which the field shows when its entry is selected
    // again; a name goes to the entry that was selected while it was typed.
    Type(IDC_DUMMY_NAME, "", IDC_DUMMY_LIST);
    SelectByUser(window, IDC_DUMMY_LIST, 1);
    Type(IDC_DUMMY_NAME, "SBYO9", IDC_DUMMY_LIST);
    SelectByUser(window, IDC_DUMMY_LIST, 0);
    shown[2] = "|SBYO9| @0";
    shown[3] = "";
    Name(header.dummyNames[0], "");
    Name(header.dummyNames[1], "SBYO9");
    ExpectState(shown, header);
}

TEST_F(EditingCommandsTest, SetDefaultNamesTheFirstTwelvePartsAndSelectsEntryZero) {
    Open(Car(std::vector<std::string>(13, FULL_FIELD)));
    SelectByUser(window, IDC_PART_LIST, 11);
    SelectByUser(window, IDC_DUMMY_LIST, 1);
    std::vector<std::string> shown = Shown();
    FceKeshHeader header = carModel.header;
    SendCommand(window, IDC_SET_DEFAULT);
    shown[0] = ":HB|:HLFW|:HRFW|:HLRW|:HRRW|:MB|:MLFW|:MRFW|:MLRW|:MRRW|:LB|:TB|" + FULL_FIELD_SHOWN + "| @0";
    shown[1] = ":HB";
    for (int i = 0; i < 12; ++i) {
        Name(header.partNames[i], PartCodeTable[i].code);
    }
    ExpectState(shown, header);
}

TEST_F(EditingCommandsTest, DriverCheckWantsExactlyOnePartNamedOD) {
    Open(Car({":HB", ":MB"}));
    DialogAnswerer answerer;
    answerer.Then([](HWND dialog) { PostClick(dialog, IDCANCEL); }); // the driver dialog, once it opens
    // Types a part name and clicks "Driver movements". The name reaches the model first: a
    // click moves the focus to the button before the button reports it.
    auto nameAndCheck = [this](int entry, const char* name) {
        SelectByUser(window, IDC_PART_LIST, entry);
        SetFocus(GetDlgItem(window, IDC_PART_NAME));
        SetDlgItemTextA(window, IDC_PART_NAME, name);
        SendMessageA(GetDlgItem(window, IDC_DRIVER_MOVEMENTS), BM_CLICK, 0, 0);
        PumpMessages();
    };
    const std::string message = "Part :OD  (Driver) not found or there is more than one part :OD";
    nameAndCheck(0, ":od");
    EXPECT_EQ(responder.messages, std::vector<std::string>{message}) << "none";
    EXPECT_TRUE(answerer.captions.empty()) << "no dialog opens after the message";
    nameAndCheck(1, ":OD");
    EXPECT_EQ(responder.messages.size(), 1u) << "exactly one";
    EXPECT_EQ(answerer.captions, std::vector<std::string>{"Select moving driver vertices"});
    nameAndCheck(0, ":OD");
    EXPECT_EQ(responder.messages, (std::vector<std::string>{message, message})) << "two";
    EXPECT_EQ(answerer.captions.size(), 1u);
}

} // namespace
