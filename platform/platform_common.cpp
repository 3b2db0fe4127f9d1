#include "platform/platform_internal.h"

#include <algorithm>

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

std::string TemporaryName(size_t targetNameLength, uint64_t seed, uint32_t attempt) {
    constexpr char DIGITS[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    size_t length = std::clamp<size_t>(targetNameLength, 1, 12);
    // A name of one character has only the 36 digits; longer names start with a tilde, which
    // sets them apart from the names people give files.
    uint64_t number = seed * 0x9E3779B97F4A7C15u + attempt;
    std::string name = length > 1 ? "~" : "";
    for (number = length > 1 ? number : attempt; name.size() < length; number /= 36) {
        name += DIGITS[number % 36];
    }
    return name;
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
