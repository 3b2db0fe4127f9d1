// The part names that the games look for, as far as the car's own rules need them: the
// names that "Set default" gives, and the driver's part.
#pragma once

#include "model/car_model.h"

#include <cstdint>
#include <string>

// "Set default" gives these to the first parts, in order; they are also the first twelve
// rows of the part name chooser.
inline constexpr uint32_t DEFAULT_PART_NAME_COUNT = 12;
inline constexpr const char* DEFAULT_PART_NAMES[DEFAULT_PART_NAME_COUNT] = {
    ":HB", ":HLFW", ":HRFW", ":HLRW", ":HRRW", ":MB", ":MLFW", ":MRFW", ":MLRW", ":MRRW", ":LB", ":TB"};

// The part whose vertices may move with the driver.
inline constexpr char DRIVER_PART_NAME[] = ":OD";

// Clears all 64 bytes of the field, then copies text into it, cut to 63 characters.
void SetNameField(char (&field)[NAME_SIZE], const char* text);

// "Set default": the first twelve parts, or fewer when the car has fewer, take the
// default names. The other parts keep theirs.
void ApplyDefaultPartNames(FceKeshHeader& header);

// The field holds exactly text. A field that fills all 64 bytes has no terminator and
// equals no shorter text.
bool NameIs(const char (&field)[NAME_SIZE], const char* text);

// How many of the car's parts are named exactly ":OD".
uint32_t CountDriverParts(const FceKeshHeader& header);

// The first of the car's parts named exactly ":OD"; false when there is none.
bool FindDriverPart(const FceKeshHeader& header, uint32_t* partIndex);

// A name field as text that can be printed anywhere, in double quotes: its bytes up to the
// terminator (all 64 when there is none), other than printable ASCII written as \xNN.
std::string QuotedName(const char (&field)[NAME_SIZE]);
