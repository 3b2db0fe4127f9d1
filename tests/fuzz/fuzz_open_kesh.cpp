// Any bytes as a Kesh file. A file that opens must save in both layouts, and what is
// saved must open again, with the same header apart from the table offsets.
#include "model/kesh.h"
#include "model/verro3.h"
#include "model/verro3_save.h"
#include "tests/fuzz/fuzz_support.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static InputFile input;
    static std::string kesh = ScratchFolder() + "/kesh-again.fce";
    static std::string verro3 = ScratchFolder() + "/kesh-as-verro3.fce";
    SilenceMessages();
    if (OpenKeshPath(input.Hold(data, size))) {
        if (!SaveVerro3Path(verro3.c_str(), VERRO3_NORMAL_FILE) || !SaveKeshPath(kesh.c_str())) {
            __builtin_trap();
        }
        FceKeshHeader saved = carModel.header;
        if (!OpenKeshPath(kesh.c_str()) || std::memcmp(&saved, &carModel.header, sizeof saved) != 0 ||
            !OpenVerro3Path(verro3.c_str())) {
            __builtin_trap();
        }
    }
    return 0;
}
