// Moving headers and tables between a file and memory, with the reason of each failure.
#pragma once

#include "platform/platform.h"

#include <cstdint>
#include <functional>
#include <string>

// Where one table of a file lies: offset counts from the end of a header of headerSize bytes.
struct TablePlace {
    const char* name; // as failure reasons call it: "table 1 (normals)"
    uint32_t headerSize;
    uint32_t offset;
    uint32_t size;
};

// Reads the header of a file of fileSize bytes; layout names the layout in the reason.
bool ReadHeader(FileHandle file, uint64_t fileSize, void* header, uint32_t size, const char* layout);

// The table lies inside a file of fileSize bytes, and its start has a 32-bit position.
bool TableFitsFile(uint64_t fileSize, const TablePlace& table);

// Seeks to the table, allocates its size zero-filled into *array and reads the table into
// it with one transfer. The array is stored before the read, so that whoever owns *array
// frees it also when the read then fails.
bool ReadTable(FileHandle file, const TablePlace& table, void** array);

// Makes path the loaded car's file: carFileName and carFilePath.
void NoteCarFileName(const char* path);

// Opens a car file for reading; when it cannot, notes why.
FileHandle OpenCarFile(const char* path);

// Opens the file at path and reads a car from it with read, replacing the car whole: both
// models are released before the read and again when it fails, which is reported with
// "Error while reading file". 1 when a car was loaded.
int LoadCar(const char* path, bool (*read)(FileHandle file));

// Allocates size zero-filled bytes into *array and copies size bytes of source into it.
bool CopyIntoNewArray(const void* source, uint32_t size, void** array);

// A file being saved. It is written beside its target under another name, header last,
// and takes the target's place only once it is complete and closed; until then the file
// that was there stays untouched.
struct SaveFile {
    const char* target = nullptr;
    std::string temporaryPath;
    FileHandle file = nullptr;
};

bool BeginSave(SaveFile& save, const char* target);
// Writes a table at the current position; *offset is where it starts, counted from the
// end of a header of headerSize bytes.
bool WriteTable(const SaveFile& save, const char* name, uint32_t headerSize, const void* data, uint32_t size,
                uint32_t* offset);
// Writes the header at the start of the file.
bool WriteHeader(const SaveFile& save, const void* header, uint32_t size);
// Closes the complete file and puts it in the target's place.
bool FinishSave(SaveFile& save);
// Closes and removes an unfinished file.
void AbandonSave(SaveFile& save);

// Saves the loaded car at path with write, which lays the tables and then the header into
// the new file; any failure is reported with "Error while writing file". 1 when written.
int SaveCar(const char* path, const std::function<bool(const SaveFile&)>& write);
