#include "platform/platform_internal.h"

namespace {
const PlatformResponder* installedResponder = nullptr;
int64_t liveBlocks = 0;
int64_t blocksHandedOut = 0;
int64_t callsBeforeFailure = -1;
bool plantedFailureHappened = false;
} // namespace

void FailSystemCallAfter(int64_t calls) {
    callsBeforeFailure = calls;
    plantedFailureHappened = false;
}

bool PlantedFailureHappened() {
    return plantedFailureHappened;
}

bool FailThisCall() {
    if (callsBeforeFailure < 0 || callsBeforeFailure-- > 0) {
        return false;
    }
    plantedFailureHappened = true;
    return true;
}

void InstallResponder(const PlatformResponder* responder) {
    installedResponder = responder;
}

const PlatformResponder* CurrentResponder() {
    return installedResponder;
}

void CountBlock(int64_t change) {
    liveBlocks += change;
    if (change > 0) {
        blocksHandedOut += change;
    }
}

int64_t LiveZeroedBlocks() {
    return liveBlocks;
}

int64_t ZeroedBlocksHandedOut() {
    return blocksHandedOut;
}
