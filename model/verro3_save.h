// Saving the car in the Verro3 layout, as the normal or the damaged car.
#pragma once

// "Save Verro3...": the save dialog, then the write. 1 when the file was written.
int SaveVerro3File();
