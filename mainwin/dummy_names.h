// Dummy names: the light names built from six columns of choices, one character per
// column, and the six fixed names, with the buttons of the dummy name chooser (dialog 104).
#pragma once

#include <cstddef>

enum LightColumn {
    LIGHT_KIND,
    LIGHT_COLOUR,
    LIGHT_FLASHING,
    LIGHT_INTENSITY,
    LIGHT_TIME,
    LIGHT_DELAY,
    LIGHT_COLUMN_COUNT
};

// A choice button and the character it gives. The "Empty" buttons of the time and delay
// columns give none: the name ends before their position.
struct LightChoice {
    int buttonId;
    char character;
};

struct LightColumnChoices {
    const LightChoice* choices;
    int count;
};

// The buttons of each column, top to bottom.
extern const LightColumnChoices LightColumns[LIGHT_COLUMN_COUNT];

// The selected button of each column; 0 where a column has none.
struct LightSelection {
    int buttonIds[LIGHT_COLUMN_COUNT];
};

// What the chooser selects when it opens, and the name that selection gives.
extern const LightSelection DEFAULT_LIGHT_SELECTION;
inline constexpr char DEFAULT_LIGHT_NAME[] = "HWYN5";

struct FixedDummyName {
    int buttonId;
    const char* name;
};
constexpr int FIXED_DUMMY_NAME_COUNT = 6;
extern const FixedDummyName FixedDummyNames[FIXED_DUMMY_NAME_COUNT];

// The chooser's result: room for the longest fixed name, ":LICENSE_EURO", and its NUL.
constexpr size_t CHOSEN_DUMMY_NAME_SIZE = 14;
extern char chosenDummyName[CHOSEN_DUMMY_NAME_SIZE];

// Writes the light name of the selection, zero-filled behind it. Returns false, and writes
// nothing, when a column's selected button is not one of that column's.
bool BuildLightName(const LightSelection& selection, char (&name)[CHOSEN_DUMMY_NAME_SIZE]);

// The fixed name of a button of dialog 104, or nullptr when the button has none.
const char* FixedDummyNameForButton(int buttonId);

// Clears chosenDummyName and copies text into it, cut to fit.
void SetChosenDummyName(const char* text);
