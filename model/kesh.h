// The newer Kesh layout: read and written without conversion, since the model's header
// is the file's header.
#pragma once

#include "model/car_model.h"

#include <cstdint>

// The file dialogs' type for Kesh cars.
inline constexpr char KESH_FILTER[] = "Verro:Kesh car meshes (*.fce)\0*.fce\0";

// Reads the Kesh file at path into the car model, replacing the car whole. Reports its
// own failures; on failure the model and fce3Mesh are empty. 1 when a car was loaded.
int OpenKeshPath(const char* path);

// "Save Verro:Kesh...": the save dialog, then SaveKeshPath. 1 when the file was written.
int SaveKeshFile();

// Writes the car model as a Kesh file at path, replacing a file that is there only once
// the new one is complete. Sets the model's tableOffsets to where the tables went.
// Reports its own failures. 1 when the file was written.
int SaveKeshPath(const char* path);

// The file at path begins with the Kesh layout mark; false also when it cannot be read.
bool HasKeshMark(const char* path);

// Bytes of each of the fourteen tables of a Kesh file for the counts of header; false
// when one of them does not fit 32 bits.
bool KeshTableSizes(const FceKeshHeader& header, uint32_t (&sizes)[KESH_TABLE_COUNT]);
