// Any bytes as a Verro3 file. A file that opens must save in both layouts, and what is
// saved must open again.
#include "model/kesh.h"
#include "model/verro3.h"
#include "model/verro3_save.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static InputFile input;
    static std::string kesh = ScratchFolder() + "/verro3-as-kesh.fce";
    static std::string verro3 = ScratchFolder() + "/verro3-again.fce";
    SilenceMessages();
    if (OpenVerro3Path(input.Hold(data, size))) {
        if (!SaveKeshPath(kesh.c_str()) || !SaveVerro3Path(verro3.c_str(), VERRO3_DAMAGED_FILE) ||
            !OpenVerro3Path(verro3.c_str()) || !OpenKeshPath(kesh.c_str())) {
            __builtin_trap();
        }
    }
    return 0;
}
