#include "model/failure_reason.h"

#include <cstdarg>
#include <cstdio>

namespace {
char reason[512];
}

void ClearFailureReason() {
    reason[0] = '\0';
}

void NoteFailure(const char* format, ...) {
    if (reason[0] != '\0') {
        return;
    }
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(reason, sizeof reason, format, arguments);
    va_end(arguments);
}

const char* LastFailureReason() {
    return reason;
}
