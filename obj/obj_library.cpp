// The OBJ library's code, compiled once.
#define TINYOBJLOADER_IMPLEMENTATION
#include "obj/obj_library.h"
