// Shared between the two implementations of the platform layer.
#pragma once

#include "platform/platform.h"

const PlatformResponder* CurrentResponder();
void CountBlock(int64_t change);
