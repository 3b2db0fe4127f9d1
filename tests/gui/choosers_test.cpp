#include "resources/resource.h"
#include "tests/gui/gui_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(ChooserTemplateTest, PartNameChooserMatchesItsDescription) {
    DialogTemplate t = ReadDialogTemplate(IDD_CHOOSE_PART_NAME);
    ExpectDialogFrame(t, "Choose part name", 0, 0, 228, 257);
    // "Cancel" first, so that it takes the focus; rows 1 to 14 down the left column, the rest
    // down the right one.
    std::vector<ExpectedControl> controls = {{IDCANCEL, "Button", "Cancel", 88, 240, 50, 14, WS_TABSTOP}};
    for (int row = 1; row <= 27; ++row) {
        const int column = row <= 14 ? 0 : 1, place = row <= 14 ? row - 1 : row - 15;
        controls.push_back(
            {row == 1 ? 1012 : 1019 + row, "Button", "", 4 + 112 * column, 4 + 16 * place, 108, 14});
    }
    ExpectControls(t, controls);
}

TEST(ChooserTemplateTest, DummyChooserMatchesItsDescription) {
    DialogTemplate t = ReadDialogTemplate(IDD_CHOOSE_DUMMY);
    ExpectDialogFrame(t, "Choose dummy", 0, 0, 272, 233);
    // "OK" first: a checked radio button takes a tab stop, and the focus must start on "OK".
    std::vector<ExpectedControl> controls = {
        {IDOK, "Button", "OK", 4, 164, 44, 16, BS_DEFPUSHBUTTON},
        {IDCANCEL, "Button", "Cancel", 52, 164, 44, 16},
    };
    // The group and tab stop bits of each control, exactly: only the buttons outside the
    // columns take part in tabbing, and each column is one group.
    std::vector<DWORD> groupAndTab = {WS_GROUP | WS_TABSTOP, WS_TABSTOP};
    std::vector<std::vector<std::string>> columns = {
        {"Head", "Tail", "Brake", "Reverse", "Direction", "Siren"},
        {"White", "Red", "Blue", "Orange"},
        {"Flashing 1", "Flashing 2", "No flashing"},
        {"Broken"},
        {"Constant"},
        {"No delay"},
    };
    for (int digit = 1; digit <= 9; ++digit) {
        columns[3].push_back("Intensity " + std::to_string(digit));
        columns[4].push_back("Time " + std::to_string(digit));
        columns[5].push_back("Delay " + std::to_string(digit));
    }
    columns[4].push_back("Empty");
    columns[5].push_back("Empty");
    int id = 1013;
    for (int c = 0; c < 6; ++c) {
        for (int i = 0; i < int(columns[c].size()); ++i, ++id) {
            id = id == 1038 ? 1044 : id; // the time column's ids jump after "Time 1"
            controls.push_back({id, "Button", columns[c][i].c_str(), 4 + 44 * c, 4 + 16 * i, 44, 16,
                                BS_AUTORADIOBUTTON | BS_PUSHLIKE});
            groupAndTab.push_back(i == 0 ? WS_GROUP : 0);
        }
    }
    controls.push_back({-1, "Static", "", 4, 188, 264, 1, SS_ETCHEDHORZ});
    groupAndTab.push_back(WS_GROUP); // ends the delay column's group
    const char* fixed[] = {"License plate Europe", "License plate high", "License plate medium",
                           "License plate low",    "Smoke generator",    "Water generator"};
    for (int i = 0; i < 6; ++i) {
        controls.push_back({1065 + i, "Button", fixed[i], 16 + 80 * (i / 2), 196 + 16 * (i % 2), 76, 14});
        groupAndTab.push_back(i == 0 ? WS_GROUP | WS_TABSTOP : WS_TABSTOP);
    }
    ExpectControls(t, controls);
    ASSERT_EQ(t.items.size(), groupAndTab.size());
    for (size_t i = 0; i < groupAndTab.size(); ++i) {
        EXPECT_EQ(t.items[i].style & (WS_GROUP | WS_TABSTOP), groupAndTab[i]) << t.items[i].id;
    }
}

} // namespace
