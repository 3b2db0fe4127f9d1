#include "platform/platform_internal.h"

namespace {
const PlatformResponder* installedResponder = nullptr;
int64_t liveBlocks = 0;
int64_t blocksHandedOut = 0;
} // namespace

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
