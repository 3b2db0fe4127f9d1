// The renames that the main window applies to the car model, and the driver part check.
#pragma once

#include "model/car_model.h"

#include <cstdint>

inline constexpr char MESSAGE_DRIVER_PART[] =
    "Part :OD  (Driver) not found or there is more than one part :OD";

// Clears all 64 bytes of the field, then copies text into it, cut to 63 characters.
void SetNameField(char (&field)[NAME_SIZE], const char* text);

// Renames part (dummy) index. False, with nothing written, when the car has no such part
// (dummy).
bool RenamePart(FceKeshHeader& header, uint32_t index, const char* text);
bool RenameDummy(FceKeshHeader& header, uint32_t index, const char* text);

// "Set default": the first twelve parts, or fewer when the car has fewer, take the codes
// of the first twelve rows of PartCodeTable. The other parts keep their names.
void ApplyDefaultPartNames(FceKeshHeader& header);

// How many of the car's parts are named exactly ":OD".
uint32_t CountDriverParts(const FceKeshHeader& header);
