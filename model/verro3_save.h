// Saving the car in the Verro3 layout, as the normal or the damaged car.
#pragma once

#include "model/verro3.h"

#include <cstdint>
#include <vector>

// The file types of the save dialog, as its filter index gives them.
constexpr uint32_t VERRO3_NORMAL_FILE = 1;
constexpr uint32_t VERRO3_DAMAGED_FILE = 2;

// "Save Verro3...": the save dialog, then SaveVerro3Path with the file type chosen there.
// 1 when the file was written.
int SaveVerro3File();

// Writes the car model as a Verro3 file at path: its normal geometry for file type 1,
// its damaged geometry for any other. A file that is there is replaced only once the new
// one is complete. The model is not changed. Reports its own failures; 1 when written.
int SaveVerro3Path(const char* path, uint32_t fileType);

// What of the car a Verro3 file of that type leaves out and a Verro3 open would not give
// back as it was: "the interior colours", "the driver hair colours", "the moving vertices",
// "the undamaged mesh" (when it is not the normal one), and the mesh of the other file type
// when the normal and the damaged mesh differ, in that order.
std::vector<const char*> Verro3Losses(const CarModel& car, uint32_t fileType);

// The Verro3 header that a save writes for the model, before its tableOffsets are known.
void BuildVerro3Header(const FceKeshHeader& model, Fce3Header* header);
