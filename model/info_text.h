#pragma once

#include "model/car_model.h"

#include <cstddef>

// The main window's five counts, one line each, every line ended by CR LF.
// Returns the length of the text written into buffer.
int FormatInfoText(const FceKeshHeader& header, char* buffer, size_t size);
