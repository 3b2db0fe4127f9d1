// Importing the damaged car's vertices and normals from a second Verro3 file.
#pragma once

enum class DamagedImportResult {
    NoCar,        // no car loaded: nothing was read
    ReadFailed,   // the damaged file was not read completely
    CountsDiffer, // read, but its part or vertex count differs from the car's: nothing changed
    Imported,     // the car's damaged vertices and normals now come from the file
};

// "Import damaged...": 1 when both tables of the damaged file were read (also when its
// counts then did not match).
int ImportDamagedFile();

// Imports the damaged car at path into the loaded car, with the command's messages.
DamagedImportResult ImportDamagedPath(const char* path);
