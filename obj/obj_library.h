// The OBJ library, with doubles: the import reads coordinates as doubles, and this one
// definition must hold in every file that includes the library.
#pragma once

#define TINYOBJLOADER_USE_DOUBLE
#include <tiny_obj_loader.h>
