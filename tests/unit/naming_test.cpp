#include "mainwin/dummy_names.h"
#include "mainwin/name_edits.h"
#include "mainwin/part_codes.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

// On the heap, so that the sanitizers see any read or write past the header.
std::unique_ptr<FceKeshHeader> HeaderWithParts(const std::vector<std::string>& names) {
    auto header = std::make_unique<FceKeshHeader>();
    header->partCount = static_cast<uint32_t>(names.size());
    for (size_t i = 0; i < names.size(); ++i) {
        std::strcpy(header->partNames[i], names[i].c_str());
    }
    return header;
}

bool AllZeroFrom(const char (&field)[NAME_SIZE], size_t from) {
    for (size_t i = from; i < NAME_SIZE; ++i) {
        if (field[i] != 0) {
            return false;
        }
    }
    return true;
}

TEST(PartCodeTableTest, ButtonIdsFollowTheirRule) {
    std::set<std::string> codes;
    for (int row = 1; row <= PART_CODE_COUNT; ++row) {
        const PartCode& entry = PartCodeTable[row - 1];
        EXPECT_EQ(entry.buttonId, row == 1 ? 1012 : 1019 + row) << row;
        EXPECT_EQ(PartCodeRowForButton(entry.buttonId), row);
        EXPECT_STREQ(PartCodeOfRow(row), entry.code);
        size_t length = std::strlen(entry.code);
        EXPECT_TRUE(length >= 3 && length <= 5 && entry.code[0] == ':') << entry.code;
        EXPECT_GT(std::strlen(entry.description), 0u);
        codes.insert(entry.code);
    }
    EXPECT_EQ(codes.size(), size_t(PART_CODE_COUNT)) << "every code differs";
    EXPECT_EQ(PartCodeTable[0].buttonId, IDC_PART_CODE_FIRST);
    EXPECT_EQ(PartCodeTable[PART_CODE_COUNT - 1].buttonId, IDC_PART_CODE_LAST);
    // Between row 1's button and row 2's, and around the table, there is no row.
    for (int id : {1011, 1013, 1016, 1020, 1047, 2, 0}) {
        EXPECT_EQ(PartCodeRowForButton(id), 0) << id;
    }
    for (int row : {0, -1, 28}) {
        EXPECT_EQ(PartCodeOfRow(row), nullptr) << row;
    }
    EXPECT_STREQ(PartCodeOfRow(1), ":HB");
    EXPECT_STREQ(PartCodeTable[0].description, "High Body");
    EXPECT_STREQ(PartCodeOfRow(DRIVER_PART_CODE_ROW), ":OD");
    EXPECT_STREQ(PartCodeTable[DRIVER_PART_CODE_ROW - 1].description, "Driver holding steering wheel");
}

// The selected button of each column, with the defaults where a case does not say.
struct LightCase {
    int kind = IDC_KIND_HEAD;
    int colour = IDC_COLOUR_WHITE;
    int flashing = IDC_NO_FLASHING;
    int intensity = IDC_INTENSITY_5;
    int time = IDC_TIME_EMPTY;
    int delay = IDC_DELAY_EMPTY;
    const char* expected = "";
};

std::string Build(const LightCase& c, bool* built = nullptr) {
    LightSelection selection{{c.kind, c.colour, c.flashing, c.intensity, c.time, c.delay}};
    char name[CHOSEN_DUMMY_NAME_SIZE];
    std::memset(name, 'z', sizeof name);
    bool ok = BuildLightName(selection, name);
    if (built) {
        *built = ok;
    }
    if (!ok) {
        return std::string(name, sizeof name);
    }
    size_t length = std::strlen(name);
    for (size_t i = length; i < sizeof name; ++i) {
        EXPECT_EQ(name[i], 0) << "zero-filled behind the name";
    }
    return name;
}

TEST(LightNameTest, Grammar) {
    LightCase cases[] = {
        {.expected = "HWYN5"},
        {IDC_KIND_TAIL, IDC_COLOUR_RED, IDC_FLASHING_1, IDC_INTENSITY_1 + 2, IDC_TIME_2, IDC_DELAY_1 + 3,
         "TRYO324"},
        {IDC_KIND_BRAKE, IDC_COLOUR_RED, IDC_FLASHING_2, IDC_INTENSITY_1 + 8, IDC_TIME_2 + 1, IDC_DELAY_1,
         "BRYE931"},
        // A time with the delay at "Empty": six characters.
        {.time = IDC_TIME_2 + 2, .expected = "HWYN54"},
        // A delay without a time is dropped.
        {.time = IDC_TIME_EMPTY, .delay = IDC_DELAY_1 + 1, .expected = "HWYN5"},
        {.time = IDC_TIME_EMPTY, .delay = IDC_DELAY_NONE, .expected = "HWYN5"},
        {.kind = IDC_KIND_DIRECTION, .expected = "PWYN5"},
        {.kind = IDC_KIND_REVERSE, .expected = "RWYN5"},
        {.kind = IDC_KIND_SIREN, .colour = IDC_COLOUR_BLUE, .expected = "SBYN5"},
        {.colour = IDC_COLOUR_ORANGE, .expected = "HOYN5"},
        {.intensity = IDC_INTENSITY_BROKEN, .expected = "HWYN0"},
        {.intensity = IDC_INTENSITY_1, .expected = "HWYN1"},
        {.time = IDC_TIME_CONSTANT, .delay = IDC_DELAY_NONE, .expected = "HWYN500"},
        {.time = IDC_TIME_1, .delay = IDC_DELAY_1 + 8, .expected = "HWYN519"},
        {.time = IDC_TIME_2 + 7, .expected = "HWYN59"},
    };
    for (const LightCase& c : cases) {
        EXPECT_EQ(Build(c), c.expected);
    }
    const int* d = DEFAULT_LIGHT_SELECTION.buttonIds;
    EXPECT_EQ(Build({d[0], d[1], d[2], d[3], d[4], d[5], ""}), DEFAULT_LIGHT_NAME);
    EXPECT_STREQ(DEFAULT_LIGHT_NAME, "HWYN5");
}

TEST(LightNameTest, EveryDigitButtonGivesItsDigit) {
    struct Column {
        std::vector<int> ids; // the buttons for 1 to 9
        int position;
    } columns[] = {
        {{1027, 1028, 1029, 1030, 1031, 1032, 1033, 1034, 1035}, 4},
        {{1037, 1044, 1045, 1046, 1047, 1048, 1049, 1050, 1051}, 5},
        {{1054, 1055, 1056, 1057, 1058, 1059, 1060, 1061, 1062}, 6},
    };
    for (const Column& column : columns) {
        for (int digit = 1; digit <= 9; ++digit) {
            LightCase c{.time = IDC_TIME_CONSTANT, .delay = IDC_DELAY_NONE};
            int id = column.ids[digit - 1];
            (column.position == 4 ? c.intensity : column.position == 5 ? c.time : c.delay) = id;
            std::string name = Build(c);
            ASSERT_EQ(name.size(), 7u) << id;
            EXPECT_EQ(name[column.position], '0' + digit) << id;
        }
    }
}

TEST(LightNameTest, ButtonOutsideItsColumnBuildsNothing) {
    // 1038 to 1043 are not in the dialog; 0 is a column without a selected button; a button
    // of another column does not count either.
    LightCase cases[] = {
        {.time = 1038, .expected = ""},
        {.time = 1043, .expected = ""},
        {.kind = 0, .expected = ""},
        {.delay = 0, .expected = ""},
        {.colour = IDC_KIND_TAIL, .expected = ""},
        {.intensity = IDC_TIME_CONSTANT, .expected = ""},
    };
    for (const LightCase& c : cases) {
        bool built = true;
        std::string name = Build(c, &built);
        EXPECT_FALSE(built);
        EXPECT_EQ(name, std::string(CHOSEN_DUMMY_NAME_SIZE, 'z')) << "nothing written";
    }
}

TEST(FixedDummyNameTest, ButtonsAndNames) {
    const std::pair<int, const char*> expected[] = {
        {1065, ":LICENSE_EURO"}, {1066, ":LICENSE"}, {1067, ":LICMED"},
        {1068, ":LICLOW"},       {1069, ":SMOKE"},   {1070, ":WATER"},
    };
    for (const auto& [id, name] : expected) {
        EXPECT_STREQ(FixedDummyNameForButton(id), name) << id;
        SetChosenDummyName(FixedDummyNameForButton(id));
        EXPECT_STREQ(chosenDummyName, name);
    }
    for (int id : {1064, 1071, 1, IDC_KIND_HEAD}) {
        EXPECT_EQ(FixedDummyNameForButton(id), nullptr) << id;
    }
    EXPECT_EQ(std::strlen(FixedDummyNameForButton(IDC_LICENSE_EURO)), CHOSEN_DUMMY_NAME_SIZE - 1);
}

TEST(ChosenDummyNameTest, IsClearedBehindTheTextAndCutToFit) {
    SetChosenDummyName(":LICENSE_EURO");
    SetChosenDummyName(DEFAULT_LIGHT_NAME);
    EXPECT_STREQ(chosenDummyName, "HWYN5");
    for (size_t i = 5; i < CHOSEN_DUMMY_NAME_SIZE; ++i) {
        EXPECT_EQ(chosenDummyName[i], 0) << i;
    }
    SetChosenDummyName("a text much longer than the chooser ever writes");
    EXPECT_EQ(std::strlen(chosenDummyName), CHOSEN_DUMMY_NAME_SIZE - 1);
}

TEST(SetDefaultTest, FivePartsTakeTheFirstFiveCodes) {
    auto header = HeaderWithParts({"a", "b", "c", "d", "e"});
    // A name from a file may fill its whole field; the code must not keep its tail.
    std::memset(header->partNames[1], 'x', NAME_SIZE);
    std::strcpy(header->partNames[5], "beyond the count");
    ApplyDefaultPartNames(*header);
    const char* expected[] = {":HB", ":HLFW", ":HRFW", ":HLRW", ":HRRW"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_STREQ(header->partNames[i], expected[i]);
        EXPECT_TRUE(AllZeroFrom(header->partNames[i], std::strlen(expected[i]))) << i;
    }
    EXPECT_STREQ(header->partNames[5], "beyond the count");
}

TEST(SetDefaultTest, TwentyPartsKeepTheirNamesFromTwelveOn) {
    std::vector<std::string> names;
    for (int i = 0; i < 20; ++i) {
        names.push_back("part " + std::to_string(i));
    }
    auto header = HeaderWithParts(names);
    ApplyDefaultPartNames(*header);
    const char* expected[] = {":HB",   ":HLFW", ":HRFW", ":HLRW", ":HRRW", ":MB",
                              ":MLFW", ":MRFW", ":MLRW", ":MRRW", ":LB",   ":TB"};
    for (int i = 0; i < 12; ++i) {
        EXPECT_STREQ(header->partNames[i], expected[i]);
    }
    for (int i = 12; i < 20; ++i) {
        EXPECT_EQ(header->partNames[i], names[i]);
    }
}

TEST(SetDefaultTest, CarWithoutPartsIsLeftAlone) {
    auto header = HeaderWithParts({});
    std::strcpy(header->partNames[0], "kept");
    ApplyDefaultPartNames(*header);
    EXPECT_STREQ(header->partNames[0], "kept");
}

TEST(RenameTest, ClearsTheFieldAndCutsAt63) {
    auto header = HeaderWithParts({"old", "other"});
    header->dummyCount = 1;
    std::memset(header->partNames[0], 'x', NAME_SIZE);
    std::string seventy(70, 'n');
    seventy[62] = 'L';
    ASSERT_TRUE(RenamePart(*header, 0, seventy.c_str()));
    EXPECT_EQ(std::string(header->partNames[0]), seventy.substr(0, 63));
    EXPECT_EQ(header->partNames[0][63], 0);
    EXPECT_STREQ(header->partNames[1], "other");

    ASSERT_TRUE(RenamePart(*header, 1, ""));
    EXPECT_TRUE(AllZeroFrom(header->partNames[1], 0)) << "an empty name clears the whole field";

    std::memset(header->dummyNames[0], 'y', NAME_SIZE);
    ASSERT_TRUE(RenameDummy(*header, 0, "TRYO324"));
    EXPECT_STREQ(header->dummyNames[0], "TRYO324");
    EXPECT_TRUE(AllZeroFrom(header->dummyNames[0], 7));
}

TEST(RenameTest, RefusesEntriesTheCarDoesNotHave) {
    auto header = HeaderWithParts({"a", "b"});
    header->dummyCount = 1;
    EXPECT_FALSE(RenamePart(*header, 2, "new"));
    EXPECT_STREQ(header->partNames[2], "");
    EXPECT_FALSE(RenameDummy(*header, 1, "new"));
    EXPECT_STREQ(header->dummyNames[1], "");
    // Counts beyond the tables never lead outside them.
    header->partCount = 1000;
    header->dummyCount = 1000;
    EXPECT_FALSE(RenamePart(*header, MAX_PARTS, "new"));
    EXPECT_FALSE(RenameDummy(*header, MAX_DUMMIES, "new"));
    EXPECT_TRUE(RenamePart(*header, MAX_PARTS - 1, "last"));
    EXPECT_STREQ(header->partNames[MAX_PARTS - 1], "last");
}

TEST(DriverPartTest, CountsExactMatchesAmongTheCarsParts) {
    struct Case {
        std::vector<std::string> names;
        uint32_t expected;
    } cases[] = {
        {{":OD", ":OD"}, 2},
        {{}, 0},
        {{":HB", ":MB"}, 0},
        {{":od"}, 0},
        {{":OD "}, 0},
        {{" :OD"}, 0},
        {{":ODL"}, 0},
        {{":OD"}, 1},
        {{":HB", ":OD", ":TB"}, 1},
        {{":HB", ":MB", ":LB", ":OD"}, 1},
        {{":OD", ":OND", ":OH"}, 1},
    };
    for (const Case& c : cases) {
        auto header = HeaderWithParts(c.names);
        EXPECT_EQ(CountDriverParts(*header), c.expected) << ::testing::PrintToString(c.names);
    }
}

TEST(DriverPartTest, LooksOnlyAtTheCarsPartsAndWithinEachField) {
    auto header = HeaderWithParts({":HB", ":OD"});
    std::strcpy(header->partNames[2], ":OD"); // beyond the count
    EXPECT_EQ(CountDriverParts(*header), 1u);
    header->partCount = 1;
    EXPECT_EQ(CountDriverParts(*header), 0u);

    // A field filled to its end with no terminator is not ":OD".
    header->partCount = 2;
    std::memset(header->partNames[1], 0, NAME_SIZE);
    std::memcpy(header->partNames[1], ":OD", 3);
    std::memset(header->partNames[1] + 3, ' ', NAME_SIZE - 3);
    EXPECT_EQ(CountDriverParts(*header), 0u);

    // A count from a damaged header stops at the end of the table.
    for (uint32_t i = 0; i < MAX_PARTS; ++i) {
        std::strcpy(header->partNames[i], ":OD");
    }
    header->partCount = 0xFFFFFFFF;
    EXPECT_EQ(CountDriverParts(*header), MAX_PARTS);
}

} // namespace
