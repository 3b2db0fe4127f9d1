// The OBJ export and import of a car of 1 million triangles, each next to what it cannot beat:
// the export next to writing as many bytes through the same save (with its flush to the disk),
// the import next to the OBJ library alone parsing the same file. The import's peak memory is
// measured in a process of its own, which does nothing else, against the file's size.
#include "model/car_model.h"
#include "model/failure_reason.h"
#include "model/file_tables.h"
#include "model/kesh.h"
#include "obj/obj_export.h"
#include "obj/obj_import.h"
#include "obj/obj_library.h"
#include "tests/support/fce_builder.h"
#include "tests/support/temp_dir.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr uint32_t PARTS = 16;
constexpr uint32_t TRIANGLES = 1'000'000;
constexpr int RUNS = 3;

// The best of a few runs, in seconds.
double Seconds(const std::function<bool()>& run) {
    double best = 1e300;
    for (int i = 0; i < RUNS; ++i) {
        auto start = std::chrono::steady_clock::now();
        if (!run()) {
            std::fprintf(stderr, "obj_bench: a run failed: %s\n", LastFailureReason());
            std::exit(1);
        }
        best =
            std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

// A car of 16 parts with two triangles a vertex, as real cars have, textured on four pages, its
// triangles in runs of one look (flags and page) as editors and the game keep them.
void WriteCar(const std::string& path) {
    CarShape shape;
    for (uint32_t p = 0; p < PARTS; ++p) {
        shape.partVertexCounts.push_back(TRIANGLES / PARTS / 2);
        shape.partTriangleCounts.push_back(TRIANGLES / PARTS);
    }
    KeshFile car = MakeKesh(shape);
    car.tables[8] = car.tables[0]; // one mesh: the damaged one is the same
    car.tables[9] = car.tables[1];
    std::mt19937 random(1);
    std::uniform_real_distribution<float> unit(0, 1);
    auto* triangles = reinterpret_cast<FceTriangle*>(car.tables[2].data());
    for (uint32_t t = 0; t < TRIANGLES; ++t) {
        triangles[t].flags = t / 4096 % 8;
        triangles[t].texturePage = t / 4096 / 8 % 4;
        for (int k = 0; k < 3; ++k) {
            triangles[t].u[k] = unit(random);
            triangles[t].v[k] = unit(random);
        }
    }
    WriteBytes(path, car.Build());
}

// Imports the model in this process alone and prints its peak resident memory in bytes.
int MeasureImport(const char* model) {
    if (!OpenObjPath(model, {}, nullptr)) {
        std::fprintf(stderr, "obj_bench: %s\n", LastFailureReason());
        return 1;
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%lld\n", static_cast<long long>(usage.ru_maxrss) * 1024);
    return 0;
}

// The peak memory of a fresh process of this program that imports the model.
double ImportPeakBytes(const std::string& model) {
    int pipe[2];
    if (::pipe(pipe) != 0) {
        return -1;
    }
    pid_t child = fork();
    if (child == 0) {
        dup2(pipe[1], STDOUT_FILENO);
        execl("/proc/self/exe", "obj_bench", "--measure-import", model.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipe[1]);
    char text[64] = {};
    ssize_t got = read(pipe[0], text, sizeof text - 1);
    close(pipe[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return got > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0 ? std::atof(text) : -1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--measure-import") == 0) {
        return MeasureImport(argv[2]);
    }
    TempDir folder;
    const std::string car = folder.File("car.fce"), model = folder.File("car.obj");
    WriteCar(car);
    if (!OpenKeshPath(car.c_str())) {
        std::fprintf(stderr, "obj_bench: %s\n", LastFailureReason());
        return 1;
    }

    ObjExportCounts counts;
    double exportTime = Seconds([&] { return SaveObjPath(model.c_str(), {}, &counts) == 1; });
    const uint64_t written =
        std::filesystem::file_size(model) + std::filesystem::file_size(MaterialFilePath(model));
    const std::string block(1 << 20, 'x');
    double writeTime = Seconds([&] {
        return SaveCar(folder.File("bytes").c_str(), [&](const SaveFile& save) {
                   for (uint64_t done = 0; done < written; done += block.size()) {
                       auto size = static_cast<uint32_t>(std::min<uint64_t>(block.size(), written - done));
                       if (!WriteFileExactly(save.file, block.data(), size)) {
                           return false;
                       }
                   }
                   return true;
               }) == 1;
    });
    ReleaseCarModel();

    double libraryTime = Seconds([&] {
        tinyobj::ObjReader reader;
        tinyobj::ObjReaderConfig config;
        config.triangulate = false;
        return reader.ParseFromFile(model, config);
    });
    double streamTime = Seconds([&] {
        std::ifstream stream(model, std::ios::binary);
        return tinyobj::LoadObjWithCallback(stream, tinyobj::callback_t{}, nullptr, nullptr, nullptr,
                                            nullptr);
    });
    double importTime = Seconds([&] { return OpenObjPath(model.c_str(), {}, nullptr) == 1; });
    ReleaseCarModel();
    double peak = ImportPeakBytes(model);
    const double size = double(std::filesystem::file_size(model));

    std::printf("OBJ of %u triangles: %.1f MB\n", TRIANGLES, size / 1e6);
    std::printf("export             %7.3f s   writing as many bytes %7.3f s   ratio %.2f (at most 3)\n",
                exportTime, writeTime, exportTime / writeTime);
    std::printf("import             %7.3f s   the library's ObjReader %7.3f s   ratio %.2f (at most 1.5)\n",
                importTime, libraryTime, importTime / libraryTime);
    std::printf("                                 the library's bare stream parse %7.3f s   ratio %.2f\n",
                streamTime, importTime / streamTime);
    std::printf("import peak memory %7.1f MB  ratio to the file's size %.2f (at most 3)\n", peak / 1e6,
                peak / size);
    return 0;
}
