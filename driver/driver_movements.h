// What the driver movements dialog does to the car: find the driver's part, take a working
// copy of its movement values into the view, reset them, and write them back on OK.
#pragma once

#include "model/car_model.h"

#include <cstdint>

// Sets up driverView for a view client area of width x height pixels. With no driver part
// the view stays empty. False only when memory for the working arrays runs out; the view
// is then empty again.
bool OpenDriverView(int32_t width, int32_t height);

// "Reset all": every vertex of the working copy becomes fixed. The car is not touched.
void ResetDriverMovements();

// OK: the working values become the driver part's movementFlags.
void WriteDriverMovements();

// Frees the working arrays; the view is empty afterwards. Safe to call at any time.
void CloseDriverView();
