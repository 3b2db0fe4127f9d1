// The loaded car as a Wavefront OBJ file, to look at it in any 3D program: one object per
// part, its vertices placed where the game draws them (part position + vertex), its
// triangles as faces, its vertex normals; the dummies as single points at the end.
#pragma once

#include <cstdint>

enum class ObjMesh { Normal, Damaged };

// What the file could not hold as the car has it.
struct ObjExportCounts {
    uint32_t skippedTriangles = 0;    // a vertex index outside the part: no face to draw
    uint32_t replacedCoordinates = 0; // not a number or infinite, written as 0
};

// Writes the loaded car at path the way the saves are written: beside it under another name,
// put in place only when complete. source and layout go into the comment at the top.
// Reports its failures as the saves do. 1 when the file was written.
int SaveObjPath(const char* path, ObjMesh mesh, const char* source, const char* layout,
                ObjExportCounts* counts);
