// The words of what check and diff tell about a car.
#pragma once

#include "model/failure_reason.h"

#include <cstdint>
#include <string>

// printf style, cut at 511 bytes.
std::string Format(const char* format, ...) VERRO_PRINTF(1, 2);

// "1 vertex", "3 vertices".
std::string Many(uint32_t count, const char* one, const char* many);
