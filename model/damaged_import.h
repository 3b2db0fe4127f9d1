// Importing the damaged car's vertices and normals from a second Verro3 file.
#pragma once

// "Import damaged...": 1 when both tables of the damaged file were read.
int ImportDamagedFile();
