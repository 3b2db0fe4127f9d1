// Any bytes as a Verro3 file, a Kesh file, a damaged file or an OBJ model (one target per build).
// A file that opens saves in both layouts and both open again; an import of a damaged file changes
// only the damaged geometry; a model that is no car leaves the loaded car as it was.
#include "model/damaged_import.h"
#include "model/kesh.h"
#include "model/verro3_save.h"
#include "obj/obj_export.h"
#include "obj/obj_import.h"
#include "platform/platform.h"
#include "tests/support/fce_builder.h"
#include "tests/support/model_state.h"
#include "tests/support/temp_dir.h"

#include <cstring>
#include <filesystem>
#include <fstream>

#include <sys/mman.h>
#include <unistd.h>

namespace {

void Check(bool holds) {
    if (!holds) {
        __builtin_trap();
    }
}

// The input goes to a memory file, which the readers open by name without touching a disk.
const char* Hold(const uint8_t* data, size_t size) {
    static int descriptor = memfd_create("fuzz-input", MFD_CLOEXEC);
    static std::string path = "/proc/self/fd/" + std::to_string(descriptor);
    Check(descriptor >= 0 && ftruncate(descriptor, 0) == 0 &&
          (size == 0 || pwrite(descriptor, data, size, 0) == static_cast<ssize_t>(size)));
    return path.c_str();
}

TempDir scratch; // for the files the targets save
} // namespace

// Seeds made by the test builder go into the corpus folder, the first folder argument.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    CarShape manyTriangles{{3, 4}, {20, 9}, {}, {}}; // table 13 longer than zeroBlock, every colour
    manyTriangles.colourCount = 16;
    for (int i = 1; i < *argc; ++i) {
        if (std::filesystem::is_directory((*argv)[i])) {
            int n = 0;
            for (const CarShape& shape : {SmallCar(), SmallCar(5), manyTriangles, CarShape{}}) {
                std::string seed = std::string((*argv)[i]) + "/seed" + std::to_string(n++);
                WriteBytes(seed + "-verro3", MakeVerro3(shape).Build());
                WriteBytes(seed + "-verro3-reversed", MakeVerro3(shape).Build({{5, 4, 3, 2, 1, 0}, 16}));
                WriteBytes(seed + "-kesh",
                           MakeKesh(shape).Build({{13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0}, 8}));
#ifdef FUZZ_OBJ
                ObjExportCounts counts;
                WriteBytes(seed + "-kesh", MakeKesh(shape).Build());
                Check(OpenKeshPath((seed + "-kesh").c_str()) &&
                      SaveObjPath((seed + ".obj").c_str(), {}, &counts));
#endif
            }
#ifdef FUZZ_OBJ
            std::ofstream(std::string((*argv)[i]) + "/helpers.obj")
                << "o a\nv 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\nvt 0 1\nvn 0 0 1\nusemtl x_FHIC__T2_\n"
                   "f 1/1/1 2/1/1 4/1/1 3/1/1\ng DAMAGE_a\nf -4 -3 -1 -2\no POSITION_a\nf 1 2 3\n"
                   "o ANIMATED_00_a\nf 1 2 4\no DUMMY_00_HFLO\nf -1 -2 -3\n";
#endif
            break;
        }
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Messages come with every refused file; nobody needs to see them.
    static PlatformResponder quiet{[](const FileDialogRequest&, FileDialogResult&) { return 0; },
                                   [](const char*) {}};
    InstallResponder(&quiet);
    const char* input = Hold(data, size);
    static const std::string kesh = scratch.File("kesh.fce"), verro3 = scratch.File("verro3.fce");
#ifdef FUZZ_DAMAGED
    static const FceKeshHeader header = [] {
        WriteBytes(verro3, MakeVerro3(SmallCar()).Build());
        Check(OpenVerro3Path(verro3.c_str()) == 1);
        return carModel.header;
    }();
    static const Bytes vertices(reinterpret_cast<uint8_t*>(carModel.vertices),
                                reinterpret_cast<uint8_t*>(carModel.vertices + header.vertexCount));
    ImportDamagedPath(input);
    Check(std::memcmp(&header, &carModel.header, sizeof header) == 0 &&
          std::memcmp(vertices.data(), carModel.vertices, vertices.size()) == 0 &&
          StagingIsEmpty(damagedFce3Mesh));
#elif defined(FUZZ_OBJ)
    static const bool loaded = [] {
        WriteBytes(kesh, MakeKesh(SmallCar()).Build());
        return OpenKeshPath(kesh.c_str()) == 1;
    }();
    Check(loaded && CarModelIsLoaded());
    const FceKeshHeader before = carModel.header;
    const Vec3* vertices = carModel.vertices;
    if (OpenObjPath(input, {}, nullptr)) {
        Check(SaveKeshPath(kesh.c_str()) == 1);
        FceKeshHeader built = carModel.header;
        Check(OpenKeshPath(kesh.c_str()) && std::memcmp(&built, &carModel.header, sizeof built) == 0);
    } else {
        Check(std::memcmp(&before, &carModel.header, sizeof before) == 0 && carModel.vertices == vertices);
    }
#else
#ifdef FUZZ_KESH
    int opened = OpenKeshPath(input);
#else
    int opened = OpenVerro3Path(input);
#endif
    if (opened) {
        Check(SaveVerro3Path(verro3.c_str(), VERRO3_DAMAGED_FILE) && SaveKeshPath(kesh.c_str()));
        FceKeshHeader saved = carModel.header;
        Check(OpenKeshPath(kesh.c_str()) && std::memcmp(&saved, &carModel.header, sizeof saved) == 0 &&
              OpenVerro3Path(verro3.c_str()));
    }
#endif
    return 0;
}
