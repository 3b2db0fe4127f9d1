// A car built from a Wavefront OBJ file and its material file, as 3D editors and other tools
// write them: objects are parts, material names carry flags and pages, helper objects carry the
// damaged mesh, part positions, dummies and moving vertices (obj_conventions.h).
#pragma once

#include <string>
#include <vector>

struct ObjImportOptions {
    std::string base;        // a car that supplies what OBJ does not carry; "" none
    bool keepOrigin = false; // parts without a position from elsewhere sit at the origin
};

// Builds a car from the OBJ at path and, only on success, makes it the loaded car (carModel,
// carFileName, carFilePath = the .obj's). On failure: NoteFailure(reason) worded for a user,
// naming the object; nothing is shown, and the car that was loaded stays loaded, untouched.
// Warnings (a missing .mtl) go to *warnings. 1 when a car was built.
int OpenObjPath(const char* path, const ObjImportOptions& options, std::vector<std::string>* warnings);

// The path ends in ".obj", in any case.
bool IsObjPath(const std::string& path);
