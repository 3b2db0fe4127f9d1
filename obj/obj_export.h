// The loaded car as a Wavefront OBJ file and its material file, for 3D editors, in a form that
// the import reads back into the same car. Car files have x right, y up and z forward, a
// left-handed frame; OBJ readers take coordinates as right-handed, so z is negated (positions
// and normals) and the corner order kept: each face then winds with its normals.
#pragma once

#include <cstdint>
#include <string>

enum class ObjMesh { Both, Normal, Damaged };

struct ObjExportOptions {
    // Both: the parts and, where the damaged mesh differs, their DAMAGE_ objects; Normal or
    // Damaged: that mesh alone, as the parts.
    ObjMesh mesh = ObjMesh::Both;
    std::string texture; // path of the texture for map_Kd (written as its file name); "" none
    std::string source;  // the car's path and its layout, for the comment at the top
    std::string layout;
};

// What the file could not hold as the car has it.
struct ObjExportCounts {
    uint32_t skippedTriangles = 0;    // a vertex index outside the part: no face to draw
    uint32_t replacedCoordinates = 0; // not a number or infinite, written as 0
};

// Writes the loaded car at path and its .mtl beside it (same stem), each the way the saves are
// written: beside it under another name, put in place only when complete. Reports failures as
// the saves do. counts may be null. 1 when both were written.
int SaveObjPath(const char* path, const ObjExportOptions& options, ObjExportCounts* counts);

// The name of the material file that goes with an OBJ at path: its stem with ".mtl".
std::string MaterialFilePath(const std::string& objPath);
