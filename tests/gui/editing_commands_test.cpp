#include "model/car_model.h"
#include "platform/win32_handles.h"
#include "resources/resource.h"
#include "tests/gui/gui_support.h"
#include "tests/gui/modal_steps.h"
#include "tests/support/fce_builder.h"
#include "tests/support/scripted_responder.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

const char DRIVER_MESSAGE[] = "Part :OD  (Driver) not found or there is more than one part :OD";

// 64 characters: the file fills the whole field and leaves no terminator.
const std::string FULL_FIELD = std::string(63, 'q') + "Z";

CarShape Car(std::vector<std::string> partNames, std::vector<std::string> dummyNames = {}) {
    CarShape shape;
    for (size_t i = 0; i < partNames.size(); ++i) {
        shape.partVertexCounts.push_back(3);
        shape.partTriangleCounts.push_back(1);
    }
    shape.partNames = std::move(partNames);
    shape.dummyNames = std::move(dummyNames);
    shape.colourCount = 2;
    return shape;
}

bool TailIsZero(const char (&field)[NAME_SIZE]) {
    for (size_t i = strnlen(field, NAME_SIZE); i < NAME_SIZE; ++i) {
        if (field[i] != 0) {
            return false;
        }
    }
    return true;
}

// Everything a command might touch, to show what it left alone.
struct WindowState {
    std::vector<std::string> parts, dummies;
    int partSelection, dummySelection;
    std::string partField, dummyField, info;
    std::unique_ptr<FceKeshHeader> header;

    bool operator==(const WindowState& other) const {
        return parts == other.parts && dummies == other.dummies && partSelection == other.partSelection &&
               dummySelection == other.dummySelection && partField == other.partField &&
               dummyField == other.dummyField && info == other.info &&
               std::memcmp(header.get(), other.header.get(), sizeof(FceKeshHeader)) == 0;
    }
};

class EditingCommandsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window = OpenMainWindow();
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override {
        DestroyWindow(window);
        EXPECT_EQ(LiveZeroedBlocks(), 0);
    }
    void Open(const CarShape& shape) {
        ScriptedResponder responder;
        std::string path = dir.File("car.fce");
        WriteBytes(path, MakeVerro3(shape).Build());
        responder.Choose(path);
        SendCommand(window, IDC_OPEN_VERRO3);
        ASSERT_TRUE(responder.messages.empty());
        ASSERT_EQ(carModel.header.partCount, shape.partVertexCounts.size());
    }
    WindowState State() const {
        WindowState s{ListEntries(window, IDC_PART_LIST),   ListEntries(window, IDC_DUMMY_LIST),
                      ListSelection(window, IDC_PART_LIST), ListSelection(window, IDC_DUMMY_LIST),
                      ItemText(window, IDC_PART_NAME),      ItemText(window, IDC_DUMMY_NAME),
                      ItemText(window, IDC_INFO_TEXT),      std::make_unique<FceKeshHeader>(carModel.header)};
        return s;
    }
    // Presses a button of the main window that opens a chooser, and answers the chooser
    // with step. Returns the captions of the dialogs that opened.
    std::vector<std::string> WithChooser(int button, std::function<void(HWND)> step) {
        DialogAnswerer answerer;
        AnswerWithStep(answerer, window, std::move(step));
        SendCommand(window, button);
        PumpMessages();
        EXPECT_EQ(answerer.unexpected, 0);
        return answerer.captions;
    }
    // Types text into a name field as the user would: the field takes the focus, gets the
    // text, and loses the focus to the control named next.
    void Type(int fieldId, const std::string& text, int nextFocus) {
        SetFocus(GetDlgItem(window, fieldId));
        ASSERT_EQ(GetFocus(), GetDlgItem(window, fieldId));
        SetDlgItemTextA(window, fieldId, text.c_str());
        SetFocus(GetDlgItem(window, nextFocus));
        PumpMessages();
    }
    HWND window = nullptr;
    TempDir dir;
};

TEST_F(EditingCommandsTest, PartChooserWritesTheCodeIntoListFieldAndModel) {
    Open(Car({":HB", FULL_FIELD, "third"}, {"HWYN5"}));
    SelectByUser(window, IDC_PART_LIST, 1);
    WindowState before = State();
    auto captions = WithChooser(IDC_CHOOSE_PART, [](HWND dialog) { ClickNow(dialog, 1038); });
    EXPECT_EQ(captions, std::vector<std::string>{"Choose part name"});
    EXPECT_EQ(ListEntries(window, IDC_PART_LIST), (std::vector<std::string>{":HB", ":OD", "third"}));
    EXPECT_EQ(ListSelection(window, IDC_PART_LIST), 1);
    EXPECT_EQ(ItemText(window, IDC_PART_NAME), ":OD");
    EXPECT_STREQ(carModel.header.partNames[1], ":OD");
    EXPECT_TRUE(TailIsZero(carModel.header.partNames[1])) << "the old name's tail is cleared";

    // Nothing else changed: the other names, the dummies, the info text.
    WindowState after = State();
    std::memcpy(after.header->partNames[1], before.header->partNames[1], NAME_SIZE);
    after.parts[1] = before.parts[1];
    after.partField = before.partField;
    EXPECT_TRUE(after == before);

    SelectByUser(window, IDC_PART_LIST, 2);
    WithChooser(IDC_CHOOSE_PART, [](HWND dialog) { ClickNow(dialog, 1012); }); // "High Body"
    EXPECT_EQ(ListEntries(window, IDC_PART_LIST), (std::vector<std::string>{":HB", ":OD", ":HB"}));
    EXPECT_EQ(ListSelection(window, IDC_PART_LIST), 2);
    EXPECT_EQ(ItemText(window, IDC_PART_NAME), ":HB");
    EXPECT_STREQ(carModel.header.partNames[2], ":HB");
}

TEST_F(EditingCommandsTest, DummyChooserWritesTheBuiltNameAndStartsAtTheDefaults) {
    Open(Car({":HB"}, {"HWYN5", "TRYO324", ":SMOKE"}));
    SelectByUser(window, IDC_DUMMY_LIST, 1);
    std::vector<int> checked;
    auto captions = WithChooser(IDC_CHOOSE_DUMMY, [&](HWND dialog) {
        for (int id = 1013; id <= 1063; ++id) {
            if (IsDlgButtonChecked(dialog, id) == BST_CHECKED) {
                checked.push_back(id);
            }
        }
        for (int id : {1015, 1020, 1024, 1035, 1045, 1054}) {
            ClickNow(dialog, id);
        }
        ClickNow(dialog, IDOK);
    });
    EXPECT_EQ(captions, std::vector<std::string>{"Choose dummy"});
    // The dummy's name "TRYO324" is not read back into the buttons.
    EXPECT_EQ(checked, (std::vector<int>{1013, 1019, 1025, 1031, 1052, 1063}));
    EXPECT_EQ(ListEntries(window, IDC_DUMMY_LIST), (std::vector<std::string>{"HWYN5", "BRYE931", ":SMOKE"}));
    EXPECT_EQ(ListSelection(window, IDC_DUMMY_LIST), 1);
    EXPECT_EQ(ItemText(window, IDC_DUMMY_NAME), "BRYE931");
    EXPECT_STREQ(carModel.header.dummyNames[1], "BRYE931");

    WithChooser(IDC_CHOOSE_DUMMY, [](HWND dialog) { ClickNow(dialog, IDOK); });
    EXPECT_EQ(ListEntries(window, IDC_DUMMY_LIST)[1], "HWYN5");
    EXPECT_STREQ(carModel.header.dummyNames[1], "HWYN5");
    EXPECT_TRUE(TailIsZero(carModel.header.dummyNames[1]));
}

TEST_F(EditingCommandsTest, FixedNamesChangeOnlyTheSelectedDummy) {
    Open(Car({":HB", ":OD"}, {"HWYN5", "TRYO324"}));
    SelectByUser(window, IDC_DUMMY_LIST, 1);
    WindowState before = State();
    WithChooser(IDC_CHOOSE_DUMMY, [](HWND dialog) { ClickNow(dialog, 1065); });
    EXPECT_STREQ(carModel.header.dummyNames[1], ":LICENSE_EURO");
    EXPECT_EQ(ItemText(window, IDC_DUMMY_NAME), ":LICENSE_EURO");
    // The shorter name must not keep the longer one's tail.
    WithChooser(IDC_CHOOSE_DUMMY, [](HWND dialog) { ClickNow(dialog, 1066); });
    EXPECT_STREQ(carModel.header.dummyNames[1], ":LICENSE");
    EXPECT_TRUE(TailIsZero(carModel.header.dummyNames[1]));

    WindowState after = State();
    EXPECT_EQ(after.dummies, (std::vector<std::string>{"HWYN5", ":LICENSE"}));
    EXPECT_EQ(after.dummySelection, 1);
    EXPECT_EQ(after.dummyField, ":LICENSE");
    std::memcpy(after.header->dummyNames[1], before.header->dummyNames[1], NAME_SIZE);
    after.dummies = before.dummies;
    after.dummyField = before.dummyField;
    EXPECT_TRUE(after == before) << "nothing but the selected dummy's name changed";
}

TEST_F(EditingCommandsTest, CancelledChoosersChangeNothing) {
    Open(Car({":HB", "second", ":TB"}, {"HWYN5", "TRYO324"}));
    SelectByUser(window, IDC_PART_LIST, 1);
    SelectByUser(window, IDC_DUMMY_LIST, 1);
    WindowState before = State();
    for (CancelWay way : {CancelWay::Button, CancelWay::Escape, CancelWay::CloseBox}) {
        auto captions = WithChooser(IDC_CHOOSE_PART, [way](HWND dialog) { CancelBy(dialog, way); });
        EXPECT_EQ(captions.size(), 1u);
        EXPECT_TRUE(State() == before) << int(way);
        captions = WithChooser(IDC_CHOOSE_DUMMY, [way](HWND dialog) {
            ClickNow(dialog, 1014);
            ClickNow(dialog, 1046);
            SetFocus(GetDlgItem(dialog, IDOK));
            CancelBy(dialog, way);
        });
        EXPECT_EQ(captions.size(), 1u);
        EXPECT_TRUE(State() == before) << int(way);
    }
}

TEST_F(EditingCommandsTest, TypedNamesAreCommittedWhenTheFieldLosesTheFocus) {
    Open(Car({":HB", FULL_FIELD, "third"}, {"HWYN5", "TRYO324"}));
    SelectByUser(window, IDC_PART_LIST, 2);
    std::string seventy = std::string(62, 'a') + "B" + std::string(7, 'c');
    Type(IDC_PART_NAME, seventy, IDC_PART_LIST);
    EXPECT_EQ(ListEntries(window, IDC_PART_LIST)[2], seventy.substr(0, 63));
    EXPECT_EQ(std::string(carModel.header.partNames[2]), seventy.substr(0, 63));
    EXPECT_EQ(ItemText(window, IDC_PART_NAME), seventy) << "the field itself is not rewritten";
    EXPECT_EQ(ListSelection(window, IDC_PART_LIST), 2);

    // Unchanged text is written again: the name that filled its field now ends in a NUL.
    SelectByUser(window, IDC_PART_LIST, 1);
    ASSERT_EQ(ItemText(window, IDC_PART_NAME), FULL_FIELD.substr(0, 63));
    ASSERT_NE(carModel.header.partNames[1][63], 0);
    Type(IDC_PART_NAME, ItemText(window, IDC_PART_NAME), IDC_CHOOSE_PART);
    EXPECT_EQ(std::string(carModel.header.partNames[1]), FULL_FIELD.substr(0, 63));
    EXPECT_EQ(carModel.header.partNames[1][63], 0);
    EXPECT_EQ(ListEntries(window, IDC_PART_LIST).size(), 3u);
    EXPECT_EQ(ListSelection(window, IDC_PART_LIST), 1);

    // An empty field gives an empty name; selecting it again shows an empty field.
    SelectByUser(window, IDC_DUMMY_LIST, 0);
    Type(IDC_DUMMY_NAME, "", IDC_DUMMY_LIST);
    EXPECT_EQ(ListEntries(window, IDC_DUMMY_LIST), (std::vector<std::string>{"", "TRYO324"}));
    EXPECT_TRUE(TailIsZero(carModel.header.dummyNames[0]));
    EXPECT_EQ(carModel.header.dummyNames[0][0], 0);
    EXPECT_EQ(ListSelection(window, IDC_DUMMY_LIST), 0);
    SelectByUser(window, IDC_DUMMY_LIST, 1);
    SelectByUser(window, IDC_DUMMY_LIST, 0);
    EXPECT_EQ(ItemText(window, IDC_DUMMY_NAME), "");

    // The name goes to the entry that was selected while it was typed.
    SelectByUser(window, IDC_DUMMY_LIST, 1);
    Type(IDC_DUMMY_NAME, "SBYO9", IDC_DUMMY_LIST);
    SelectByUser(window, IDC_DUMMY_LIST, 0);
    EXPECT_EQ(ListEntries(window, IDC_DUMMY_LIST), (std::vector<std::string>{"", "SBYO9"}));
    EXPECT_STREQ(carModel.header.dummyNames[1], "SBYO9");
    EXPECT_EQ(ItemText(window, IDC_DUMMY_NAME), "");
}

TEST_F(EditingCommandsTest, SetDefaultOnFivePartsSelectsEntryZero) {
    Open(Car({"a", "b", FULL_FIELD, "d", "e"}, {"HWYN5"}));
    SelectByUser(window, IDC_PART_LIST, 3);
    SelectByUser(window, IDC_DUMMY_LIST, 0);
    WindowState before = State();
    SendCommand(window, IDC_SET_DEFAULT);
    const std::vector<std::string> codes = {":HB", ":HLFW", ":HRFW", ":HLRW", ":HRRW"};
    EXPECT_EQ(ListEntries(window, IDC_PART_LIST), codes);
    EXPECT_EQ(ListSelection(window, IDC_PART_LIST), 0);
    EXPECT_EQ(ItemText(window, IDC_PART_NAME), ":HB");
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(carModel.header.partNames[i], codes[i]);
        EXPECT_TRUE(TailIsZero(carModel.header.partNames[i])) << i;
    }
    WindowState after = State();
    EXPECT_EQ(after.dummies, before.dummies);
    EXPECT_EQ(after.dummySelection, before.dummySelection);
    EXPECT_EQ(after.dummyField, before.dummyField);
    EXPECT_EQ(after.info, before.info);
}

TEST_F(EditingCommandsTest, SetDefaultOnTwentyPartsKeepsTheLastEight) {
    std::vector<std::string> names;
    for (int i = 0; i < 20; ++i) {
        names.push_back("part " + std::to_string(i));
    }
    Open(Car(names));
    SelectByUser(window, IDC_PART_LIST, 15);
    SendCommand(window, IDC_SET_DEFAULT);
    std::vector<std::string> expected = {":HB",   ":HLFW", ":HRFW", ":HLRW", ":HRRW", ":MB",
                                         ":MLFW", ":MRFW", ":MLRW", ":MRRW", ":LB",   ":TB"};
    expected.insert(expected.end(), names.begin() + 12, names.end());
    EXPECT_EQ(ListEntries(window, IDC_PART_LIST), expected);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(carModel.header.partNames[i], expected[i]);
    }
    EXPECT_EQ(ListSelection(window, IDC_PART_LIST), 0);
    EXPECT_EQ(ItemText(window, IDC_PART_NAME), ":HB");
}

TEST_F(EditingCommandsTest, DriverCheckWantsExactlyOnePartNamedOD) {
    struct Case {
        std::vector<std::string> names;
        bool passes;
    } cases[] = {
        {{":OD", ":HB", ":OD"}, false}, {{":HB", ":MB"}, false}, {{":od", ":HB"}, false},
        {{":OD ", ":HB"}, false},       {{":OD"}, true},         {{":HB", ":MB", ":OD"}, true},
        {{":OD", ":OND", ":OH"}, true},
    };
    for (const Case& c : cases) {
        Open(Car(c.names));
        // Whichever entry is selected, the check looks at every part.
        SelectByUser(window, IDC_PART_LIST, static_cast<int>(c.names.size()) - 1);
        ScriptedResponder responder;
        DialogAnswerer answerer;
        answerer.Then([](HWND dialog) { PostClick(dialog, IDCANCEL); }); // the driver dialog, when it opens
        SendCommand(window, IDC_DRIVER_MOVEMENTS);
        PumpMessages();
        if (c.passes) {
            EXPECT_TRUE(responder.messages.empty()) << ::testing::PrintToString(c.names);
            EXPECT_EQ(answerer.captions, std::vector<std::string>{"Select moving driver vertices"})
                << ::testing::PrintToString(c.names);
        } else {
            EXPECT_EQ(responder.messages, std::vector<std::string>{DRIVER_MESSAGE})
                << ::testing::PrintToString(c.names);
            EXPECT_TRUE(answerer.captions.empty()) << "no dialog opens after the message";
        }
    }
}

TEST_F(EditingCommandsTest, TypedDriverNameReachesTheModelBeforeTheCheck) {
    Open(Car({":HB", ":MB"}));
    SelectByUser(window, IDC_PART_LIST, 1);
    ScriptedResponder responder;
    SetFocus(GetDlgItem(window, IDC_PART_NAME));
    SetDlgItemTextA(window, IDC_PART_NAME, ":OD");
    DialogAnswerer answerer;
    answerer.Then([](HWND dialog) { PostClick(dialog, IDCANCEL); });
    // A click moves the focus to the button before the button reports it.
    SendMessageA(GetDlgItem(window, IDC_DRIVER_MOVEMENTS), BM_CLICK, 0, 0);
    PumpMessages();
    EXPECT_TRUE(responder.messages.empty());
    EXPECT_EQ(answerer.captions, std::vector<std::string>{"Select moving driver vertices"});
    EXPECT_STREQ(carModel.header.partNames[1], ":OD");
    EXPECT_EQ(ListEntries(window, IDC_PART_LIST), (std::vector<std::string>{":HB", ":OD"}));
}

} // namespace
