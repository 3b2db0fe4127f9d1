// Shared between the two implementations of the platform layer.
#pragma once

#include "platform/platform.h"

void CountBlock(int64_t change);
// True for the one call that FailSystemCallAfter planted a failure on.
bool FailThisCall();
