#include "mainwin/dummy_names.h"

#include "resources/resource.h"

#include <cstring>
#include <iterator>

namespace {

const LightChoice KIND_CHOICES[] = {
    {IDC_KIND_HEAD, 'H'},    {IDC_KIND_TAIL, 'T'},      {IDC_KIND_BRAKE, 'B'},
    {IDC_KIND_REVERSE, 'R'}, {IDC_KIND_DIRECTION, 'P'}, {IDC_KIND_SIREN, 'S'},
};

const LightChoice COLOUR_CHOICES[] = {
    {IDC_COLOUR_WHITE, 'W'},
    {IDC_COLOUR_RED, 'R'},
    {IDC_COLOUR_BLUE, 'B'},
    {IDC_COLOUR_ORANGE, 'O'},
};

const LightChoice FLASHING_CHOICES[] = {
    {IDC_FLASHING_1, 'O'},
    {IDC_FLASHING_2, 'E'},
    {IDC_NO_FLASHING, 'N'},
};

const LightChoice INTENSITY_CHOICES[] = {
    {IDC_INTENSITY_BROKEN, '0'}, {IDC_INTENSITY_1, '1'},     {IDC_INTENSITY_1 + 1, '2'},
    {IDC_INTENSITY_1 + 2, '3'},  {IDC_INTENSITY_1 + 3, '4'}, {IDC_INTENSITY_1 + 4, '5'},
    {IDC_INTENSITY_1 + 5, '6'},  {IDC_INTENSITY_1 + 6, '7'}, {IDC_INTENSITY_1 + 7, '8'},
    {IDC_INTENSITY_1 + 8, '9'},
};

// "Time 1" and "Time 2" are not neighbours by id: the dialog has always numbered them so.
const LightChoice TIME_CHOICES[] = {
    {IDC_TIME_CONSTANT, '0'}, {IDC_TIME_1, '1'},     {IDC_TIME_2, '2'},     {IDC_TIME_2 + 1, '3'},
    {IDC_TIME_2 + 2, '4'},    {IDC_TIME_2 + 3, '5'}, {IDC_TIME_2 + 4, '6'}, {IDC_TIME_2 + 5, '7'},
    {IDC_TIME_2 + 6, '8'},    {IDC_TIME_2 + 7, '9'}, {IDC_TIME_EMPTY, 0},
};

const LightChoice DELAY_CHOICES[] = {
    {IDC_DELAY_NONE, '0'},  {IDC_DELAY_1, '1'},     {IDC_DELAY_1 + 1, '2'}, {IDC_DELAY_1 + 2, '3'},
    {IDC_DELAY_1 + 3, '4'}, {IDC_DELAY_1 + 4, '5'}, {IDC_DELAY_1 + 5, '6'}, {IDC_DELAY_1 + 6, '7'},
    {IDC_DELAY_1 + 7, '8'}, {IDC_DELAY_1 + 8, '9'}, {IDC_DELAY_EMPTY, 0},
};

// The character of the column's selected button; false when it is not one of the column's.
bool ChoiceCharacter(LightColumn column, int buttonId, char* character) {
    const LightColumnChoices& choices = LightColumns[column];
    for (int i = 0; i < choices.count; ++i) {
        if (choices.choices[i].buttonId == buttonId) {
            *character = choices.choices[i].character;
            return true;
        }
    }
    return false;
}

} // namespace

const LightColumnChoices LightColumns[LIGHT_COLUMN_COUNT] = {
    {KIND_CHOICES, static_cast<int>(std::size(KIND_CHOICES))},
    {COLOUR_CHOICES, static_cast<int>(std::size(COLOUR_CHOICES))},
    {FLASHING_CHOICES, static_cast<int>(std::size(FLASHING_CHOICES))},
    {INTENSITY_CHOICES, static_cast<int>(std::size(INTENSITY_CHOICES))},
    {TIME_CHOICES, static_cast<int>(std::size(TIME_CHOICES))},
    {DELAY_CHOICES, static_cast<int>(std::size(DELAY_CHOICES))},
};

const LightSelection DEFAULT_LIGHT_SELECTION = {
    {IDC_KIND_HEAD, IDC_COLOUR_WHITE, IDC_NO_FLASHING, IDC_INTENSITY_5, IDC_TIME_EMPTY, IDC_DELAY_EMPTY}};

const FixedDummyName FixedDummyNames[FIXED_DUMMY_NAME_COUNT] = {
    {IDC_LICENSE_EURO, ":LICENSE_EURO"}, {IDC_LICENSE_HIGH, ":LICENSE"}, {IDC_LICENSE_MEDIUM, ":LICMED"},
    {IDC_LICENSE_LOW, ":LICLOW"},        {IDC_SMOKE, ":SMOKE"},          {IDC_WATER, ":WATER"},
};

char chosenDummyName[CHOSEN_DUMMY_NAME_SIZE];

bool BuildLightName(const LightSelection& selection, char (&name)[CHOSEN_DUMMY_NAME_SIZE]) {
    char characters[LIGHT_COLUMN_COUNT];
    for (int column = 0; column < LIGHT_COLUMN_COUNT; ++column) {
        if (!ChoiceCharacter(static_cast<LightColumn>(column), selection.buttonIds[column],
                             &characters[column])) {
            return false;
        }
    }
    // Position 3 is always Y. A time of "Empty" ends the name after the intensity, whatever
    // the delay shows; a delay of "Empty" ends it after the time.
    const char built[] = {characters[LIGHT_KIND],
                          characters[LIGHT_COLOUR],
                          'Y',
                          characters[LIGHT_FLASHING],
                          characters[LIGHT_INTENSITY],
                          characters[LIGHT_TIME],
                          characters[LIGHT_TIME] ? characters[LIGHT_DELAY] : '\0',
                          '\0'};
    static_assert(sizeof built <= CHOSEN_DUMMY_NAME_SIZE);
    std::memset(name, 0, sizeof name);
    std::memcpy(name, built, std::strlen(built));
    return true;
}

const char* FixedDummyNameForButton(int buttonId) {
    for (const FixedDummyName& fixed : FixedDummyNames) {
        if (fixed.buttonId == buttonId) {
            return fixed.name;
        }
    }
    return nullptr;
}

void SetChosenDummyName(const char* text) {
    std::memset(chosenDummyName, 0, sizeof chosenDummyName);
    std::memcpy(chosenDummyName, text, strnlen(text, sizeof chosenDummyName - 1));
}
