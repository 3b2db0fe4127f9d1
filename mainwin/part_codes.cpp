#include "mainwin/part_codes.h"

#include "resources/resource.h"

namespace {
// Row 1 has its own id; the ids of the other rows follow from 1021 on.
constexpr int RowButton(int row) {
    return row == 1 ? IDC_PART_CODE_FIRST : IDC_PART_CODE_ROW2 + row - 2;
}
} // namespace

const PartCode PartCodeTable[PART_CODE_COUNT] = {
    {":HB", "High Body", RowButton(1)},
    {":HLFW", "High Left Front Wheel", RowButton(2)},
    {":HRFW", "High Right Front Wheel", RowButton(3)},
    {":HLRW", "High Left Rear Wheel", RowButton(4)},
    {":HRRW", "High Right Rear Wheel", RowButton(5)},
    {":MB", "Medium Body", RowButton(6)},
    {":MLFW", "Medium Left Front Wheel", RowButton(7)},
    {":MRFW", "Medium Right Front Wheel", RowButton(8)},
    {":MLRW", "Medium Left Rear Wheel", RowButton(9)},
    {":MRRW", "Medium Right Rear Wheel", RowButton(10)},
    {":LB", "Low Body", RowButton(11)},
    {":TB", "Tiny Body", RowButton(12)},
    {":HLMW", "High Left Middle Wheel", RowButton(13)},
    {":HRMW", "High Right Middle Wheel", RowButton(14)},
    {":MLMW", "Medium Left Middle Wheel", RowButton(15)},
    {":MRMW", "Medium Right Middle Wheel", RowButton(16)},
    {":OC", "Interior", RowButton(17)},
    {":OND", "Driver's chair and steering wheel", RowButton(18)},
    {":OD", "Driver holding steering wheel", RowButton(19)},
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
