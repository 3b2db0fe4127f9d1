#include "mainwin/part_codes.h"

#include "model/part_names.h"
#include "resources/resource.h"

namespace {
// Row 1 has its own id; the ids of the other rows follow from 1021 on.
constexpr int RowButton(int row) {
    return row == 1 ? IDC_PART_CODE_FIRST : IDC_PART_CODE_ROW2 + row - 2;
}
} // namespace

const PartCode PartCodeTable[PART_CODE_COUNT] = {
    {DEFAULT_PART_NAMES[0], "High Body", RowButton(1)},
    {DEFAULT_PART_NAMES[1], "High Left Front Wheel", RowButton(2)},
    {DEFAULT_PART_NAMES[2], "High Right Front Wheel", RowButton(3)},
    {DEFAULT_PART_NAMES[3], "High Left Rear Wheel", RowButton(4)},
    {DEFAULT_PART_NAMES[4], "High Right Rear Wheel", RowButton(5)},
    {DEFAULT_PART_NAMES[5], "Medium Body", RowButton(6)},
    {DEFAULT_PART_NAMES[6], "Medium Left Front Wheel", RowButton(7)},
    {DEFAULT_PART_NAMES[7], "Medium Right Front Wheel", RowButton(8)},
    {DEFAULT_PART_NAMES[8], "Medium Left Rear Wheel", RowButton(9)},
    {DEFAULT_PART_NAMES[9], "Medium Right Rear Wheel", RowButton(10)},
    {DEFAULT_PART_NAMES[10], "Low Body", RowButton(11)},
    {DEFAULT_PART_NAMES[11], "Tiny Body", RowButton(12)},
    {":HLMW", "High Left Middle Wheel", RowButton(13)},
    {":HRMW", "High Right Middle Wheel", RowButton(14)},
    {":MLMW", "Medium Left Middle Wheel", RowButton(15)},
    {":MRMW", "Medium Right Middle Wheel", RowButton(16)},
    {":OC", "Interior", RowButton(17)},
    {":OND", "Driver's chair and steering wheel", RowButton(18)},
    {DRIVER_PART_NAME, "Driver holding steering wheel", RowButton(19)},
    {":OH", "Driver head", RowButton(20)},
    {":ODL", "Dash when lit", RowButton(21)},
    {":OLM", "Left Mirror", RowButton(22)},
    {":ORM", "Right Mirror", RowButton(23)},
    {":OLB", "Left Front Brake", RowButton(24)},
    {":ORB", "Right Front Brake", RowButton(25)},
    {":OL", "Popup lights", RowButton(26)},
    {":OT", "Top of Convertibles", RowButton(27)},
};

static_assert(RowButton(PART_CODE_COUNT) == IDC_PART_CODE_LAST);

int PartCodeRowForButton(int buttonId) {
    for (int row = 1; row <= PART_CODE_COUNT; ++row) {
        if (PartCodeTable[row - 1].buttonId == buttonId) {
            return row;
        }
    }
    return 0;
}

const char* PartCodeOfRow(int row) {
    return row >= 1 && row <= PART_CODE_COUNT ? PartCodeTable[row - 1].code : nullptr;
}
