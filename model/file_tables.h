// Moving one table between a file and an owned array.
#pragma once

#include "platform/platform.h"

#include <cstdint>

// Seeks to headerSize + offset, allocates size zero-filled bytes into *array and reads the
// table into it with one transfer. The array is stored before the read, so that whoever
// owns *array frees it also when the read then fails.
bool ReadTable(FileHandle file, uint32_t headerSize, uint32_t offset, uint32_t size, void** array);

// Allocates size zero-filled bytes into *array and copies size bytes of source into it.
bool CopyIntoNewArray(const void* source, uint32_t size, void** array);
