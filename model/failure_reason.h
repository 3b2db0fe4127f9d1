// The precise reason why the last read or write of a car failed. The program's windows
// show only their fixed messages; the command-line converter prints this reason.
// Each file operation clears it when it starts, and the check that fails notes it.
#pragma once

#include <cstdio>

#if defined(__MINGW32__)
#define VERRO_PRINTF(formatIndex, firstArgument)                                                             \
    __attribute__((format(__MINGW_PRINTF_FORMAT, formatIndex, firstArgument)))
#elif defined(__GNUC__)
#define VERRO_PRINTF(formatIndex, firstArgument) __attribute__((format(printf, formatIndex, firstArgument)))
#else
#define VERRO_PRINTF(formatIndex, firstArgument)
#endif

void ClearFailureReason();

// Notes the reason, printf style. The first note after a clear is kept: it is the cause,
// and whatever fails after it is a consequence.
void NoteFailure(const char* format, ...) VERRO_PRINTF(1, 2);

// The reason noted since the last clear, or empty text.
const char* LastFailureReason();
