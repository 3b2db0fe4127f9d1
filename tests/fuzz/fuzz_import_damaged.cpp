// Any bytes as the damaged file of a loaded car. Whatever the file holds, the car keeps
// everything but its damaged vertices and normals.
#include "model/damaged_import.h"
#include "model/verro3.h"
#include "tests/fuzz/fuzz_support.h"

#include <cstring>

namespace {

bool StagingIsEmpty() {
    static const Fce3Header zero{};
    return !damagedFce3Mesh.vertices && !damagedFce3Mesh.normals && !damagedFce3Mesh.triangles &&
           std::memcmp(&damagedFce3Mesh.header, &zero, sizeof zero) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static InputFile input;
    static FceKeshHeader header = [] {
        std::string car = ScratchFolder() + "/car.fce";
        WriteBytes(car, MakeVerro3(FuzzCar()).Build());
        SilenceMessages();
        if (!OpenVerro3Path(car.c_str())) {
            __builtin_trap();
        }
        return carModel.header;
    }();
    static Bytes vertices(reinterpret_cast<uint8_t*>(carModel.vertices),
                          reinterpret_cast<uint8_t*>(carModel.vertices) + header.vertexCount * 12);
    SilenceMessages();
    ImportDamagedPath(input.Hold(data, size));
    if (std::memcmp(&header, &carModel.header, sizeof header) != 0 ||
        std::memcmp(vertices.data(), carModel.vertices, vertices.size()) != 0 || !StagingIsEmpty()) {
        __builtin_trap();
    }
    return 0;
}
