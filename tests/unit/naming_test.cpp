#include "mainwin/dummy_names.h"
#include "mainwin/name_edits.h"
#include "mainwin/part_codes.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <set>
#include <sstream>
#include <string>

namespace {

// Parts named by a list separated by commas, on the heap so that the sanitizers see any
// read or write past the header.
std::unique_ptr<FceKeshHeader> HeaderWithParts(const std::string& names) {
    auto header = std::make_unique<FceKeshHeader>();
    std::stringstream list(names);
    for (std::string name; std::getline(list, name, ',');) {
        std::strcpy(header->partNames[header->partCount++], name.c_str());
    }
    return header;
}

// All 64 bytes of a name field, and what they hold after text was written: zeros behind it.
std::string Field(const char (&field)[NAME_SIZE]) {
    return std::string(field, NAME_SIZE);
}
std::string Written(const std::string& text) {
    return text + std::string(NAME_SIZE - text.size(), '\0');
}

TEST(PartCodeTableTest, RowsFollowTheirButtonIds) {
    std::set<std::string> codes;
    for (int row = 1; row <= PART_CODE_COUNT; ++row) {
        const int button = row == 1 ? 1012 : 1019 + row;
        const PartCode& entry = PartCodeTable[row - 1];
        EXPECT_EQ(entry.buttonId, button) << row;
        EXPECT_EQ(PartCodeRowForButton(button), row);
        EXPECT_STREQ(PartCodeOfRow(row), entry.code);
        const size_t length = std::strlen(entry.code);
        EXPECT_TRUE(length >= 3 && length <= 5 && entry.code[0] == ':') << entry.code;
        codes.insert(entry.code);
    }
    EXPECT_EQ(codes.size(), size_t(PART_CODE_COUNT)) << "every code differs";
    for (int id : {1011, 1013, 1020, 1047}) {
        EXPECT_EQ(PartCodeRowForButton(id), 0) << id;
    }
    EXPECT_EQ(PartCodeOfRow(0), nullptr);
    EXPECT_EQ(PartCodeOfRow(PART_CODE_COUNT + 1), nullptr);
    EXPECT_STREQ(PartCodeOfRow(19), ":OD");
    EXPECT_STREQ(PartCodeTable[0].description, "High Body");
    EXPECT_STREQ(PartCodeTable[18].description, "Driver holding steering wheel");
    EXPECT_STREQ(PartCodeTable[26].description, "Top of Convertibles");
}

// The selected button of each column, the defaults where a case does not say.
struct LightCase {
    int kind = IDC_KIND_HEAD, colour = IDC_COLOUR_WHITE, flashing = IDC_NO_FLASHING;
    int intensity = IDC_INTENSITY_5, time = IDC_TIME_EMPTY, delay = IDC_DELAY_EMPTY;
};

// The built name, or "refused" when nothing was built and nothing written.
std::string Build(const LightCase& c) {
    char name[CHOSEN_DUMMY_NAME_SIZE];
    std::memset(name, 'z', sizeof name);
    if (!BuildLightName({{c.kind, c.colour, c.flashing, c.intensity, c.time, c.delay}}, name)) {
        return std::string(name, sizeof name) == std::string(sizeof name, 'z') ? "refused" : "scribbled";
    }
    const size_t length = strnlen(name, sizeof name);
    EXPECT_EQ(std::string(name + length, sizeof name - length), std::string(sizeof name - length, '\0'))
        << "zero-filled behind " << name;
    return std::string(name, length);
}

TEST(LightNameTest, Grammar) {
    const std::pair<LightCase, const char*> cases[] = {
        {{}, "HWYN5"},
        {{IDC_KIND_TAIL, IDC_COLOUR_RED, IDC_FLASHING_1, 1029, 1044, 1057}, "TRYO324"},
        {{IDC_KIND_BRAKE, IDC_COLOUR_RED, IDC_FLASHING_2, 1035, 1045, 1054}, "BRYE931"},
        {{.time = 1046}, "HWYN54"}, // the delay at "Empty"
        {{.delay = 1055}, "HWYN5"}, // a delay without a time is dropped
        {{.intensity = IDC_INTENSITY_BROKEN}, "HWYN0"},
        {{.kind = IDC_KIND_DIRECTION}, "PWYN5"},
        {{.kind = IDC_KIND_REVERSE}, "RWYN5"},
        {{.kind = IDC_KIND_SIREN, .colour = IDC_COLOUR_BLUE}, "SBYN5"},
        {{.colour = IDC_COLOUR_ORANGE}, "HOYN5"},
    };
    for (const auto& [c, expected] : cases) {
        EXPECT_EQ(Build(c), expected);
    }
    // Every digit button; "Time 1" and "Time 2" are not neighbours by id.
    for (int digit = 1; digit <= 9; ++digit) {
        const std::string n(1, char('0' + digit));
        EXPECT_EQ(Build({.intensity = 1026 + digit, .time = 1036, .delay = 1053}), "HWYN" + n + "00");
        EXPECT_EQ(Build({.time = digit == 1 ? 1037 : 1042 + digit, .delay = 1053}), "HWYN5" + n + "0");
        EXPECT_EQ(Build({.time = 1036, .delay = 1053 + digit}), "HWYN50" + n);
    }
    // Nothing is built from 1038 to 1043, which are not in the dialog, from a column without
    // a selected button (0), or from a button of another column.
    for (const LightCase& c :
         {LightCase{.time = 1038}, LightCase{.time = 1043}, LightCase{.kind = 0}, LightCase{.delay = 0},
          LightCase{.colour = IDC_KIND_TAIL}, LightCase{.intensity = IDC_TIME_CONSTANT}}) {
        EXPECT_EQ(Build(c), "refused");
    }
}

TEST(FixedDummyNameTest, ButtonsGiveTheirNames) {
    // Longest first: each shorter name must clear what the one before left.
    const std::pair<int, const char*> fixed[] = {
        {1065, ":LICENSE_EURO"}, {1066, ":LICENSE"}, {1067, ":LICMED"},
        {1068, ":LICLOW"},       {1069, ":SMOKE"},   {1070, ":WATER"},
    };
    for (const auto& [id, name] : fixed) {
        EXPECT_STREQ(FixedDummyNameForButton(id), name) << id;
        SetChosenDummyName(FixedDummyNameForButton(id));
        EXPECT_STREQ(chosenDummyName, name);
    }
    for (int id : {1064, 1071, IDC_KIND_HEAD}) {
        EXPECT_EQ(FixedDummyNameForButton(id), nullptr) << id;
    }
}

TEST(SetDefaultTest, FirstTwelvePartsTakeTheFirstTwelveCodes) {
    const char* codes[] = {":HB",   ":HLFW", ":HRFW", ":HLRW", ":HRRW", ":MB",
                           ":MLFW", ":MRFW", ":MLRW", ":MRRW", ":LB",   ":TB"};
    for (uint32_t count : {0u, 5u, 20u}) {
        auto header = std::make_unique<FceKeshHeader>();
        header->partCount = count;
        for (uint32_t i = 0; i <= count; ++i) { // and the field past the last part
            std::snprintf(header->partNames[i], NAME_SIZE, "part %u", i);
        }
        // A name from a file may fill its whole field; the code must not keep its tail.
        std::memset(header->partNames[1], 'x', NAME_SIZE);
        const FceKeshHeader before = *header;
        ApplyDefaultPartNames(*header);
        for (uint32_t i = 0; i <= count; ++i) {
            EXPECT_EQ(Field(header->partNames[i]),
                      i < std::min(count, 12u) ? Written(codes[i]) : Field(before.partNames[i]))
                << count << " parts, part " << i;
        }
    }
}

TEST(RenameTest, ClearsTheFieldCutsAt63AndStaysWithinTheCar) {
    auto header = HeaderWithParts("old,other");
    header->dummyCount = 1;
    std::memset(header->partNames[0], 'x', NAME_SIZE);
    std::string seventy(70, 'n');
    seventy[62] = 'L';
    EXPECT_TRUE(RenamePart(*header, 0, seventy.c_str()));
    EXPECT_EQ(Field(header->partNames[0]), Written(seventy.substr(0, 63)));
    EXPECT_EQ(Field(header->partNames[1]), Written("other"));
    EXPECT_TRUE(RenamePart(*header, 1, ""));
    EXPECT_EQ(Field(header->partNames[1]), Written(""));

    // Entries the car does not have are refused; counts from a damaged file stop at the tables.
    EXPECT_FALSE(RenamePart(*header, 2, "new"));
    EXPECT_FALSE(RenameDummy(*header, 1, "new"));
    EXPECT_EQ(Field(header->partNames[2]), Written(""));
    EXPECT_EQ(Field(header->dummyNames[1]), Written(""));
    header->partCount = header->dummyCount = 1000;
    EXPECT_FALSE(RenamePart(*header, MAX_PARTS, "new"));
    EXPECT_FALSE(RenameDummy(*header, MAX_DUMMIES, "new"));
    EXPECT_TRUE(RenamePart(*header, MAX_PARTS - 1, "last"));
    EXPECT_TRUE(RenameDummy(*header, MAX_DUMMIES - 1, "last"));
}

TEST(DriverPartTest, CountsExactMatchesAmongTheCarsPartsOnly) {
    const std::pair<const char*, uint32_t> cases[] = {
        {":OD,:HB,:OD", 2}, {"", 0},    {":HB,:MB", 0},         {":od", 0},     {":OD ", 0}, {" :OD", 0},
        {":ODL", 0},        {":OD", 1}, {":HB,:MB,:LB,:OD", 1}, {":OD,:OND", 1}};
    for (const auto& [names, count] : cases) {
        EXPECT_EQ(CountDriverParts(*HeaderWithParts(names)), count) << names;
    }
    auto header = HeaderWithParts(":HB,:OD");
    std::strcpy(header->partNames[2], ":OD"); // past the count
    EXPECT_EQ(CountDriverParts(*header), 1u);
    // A field filled to its end with no terminator is not ":OD".
    std::memset(header->partNames[1], ' ', NAME_SIZE);
    std::memcpy(header->partNames[1], ":OD", 3);
    EXPECT_EQ(CountDriverParts(*header), 0u);
    // A count from a damaged header stops at the end of the table.
    for (auto& name : header->partNames) {
        std::strcpy(name, ":OD");
    }
    header->partCount = 0xFFFFFFFF;
    EXPECT_EQ(CountDriverParts(*header), MAX_PARTS);
}

} // namespace
