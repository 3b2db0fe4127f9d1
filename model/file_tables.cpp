#include "model/file_tables.h"

#include <cstring>

bool ReadTable(FileHandle file, uint32_t headerSize, uint32_t offset, uint32_t size, void** array) {
    if (!SeekFileTo(file, headerSize + offset)) {
        return false;
    }
    *array = AllocateZeroed(size);
    return *array && ReadFileExactly(file, *array, size);
}

bool CopyIntoNewArray(const void* source, uint32_t size, void** array) {
    *array = AllocateZeroed(size);
    if (!*array) {
        return false;
    }
    if (size != 0) {
        std::memcpy(*array, source, size);
    }
    return true;
}
