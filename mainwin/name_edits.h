// The renames that the main window applies to the car model. "Set default" and the driver
// part check are the car's own rules, shared with fceconv.
#pragma once

#include "model/car_model.h"
#include "model/part_names.h"

#include <cstdint>

inline constexpr char MESSAGE_DRIVER_PART[] =
    "Part :OD  (Driver) not found or there is more than one part :OD";

// Renames part (dummy) index. False, with nothing written, when the car has no such part
// (dummy).
bool RenamePart(FceKeshHeader& header, uint32_t index, const char* text);
bool RenameDummy(FceKeshHeader& header, uint32_t index, const char* text);
