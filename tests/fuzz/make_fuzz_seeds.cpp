// Writes the seed corpus of the fuzz targets, made by the test builder:
//   make_fuzz_seeds FOLDER   writes FOLDER/verro3, FOLDER/kesh and FOLDER/damaged
#include "tests/fuzz/fuzz_support.h"

#include <cstdio>
#include <filesystem>

namespace {

CarShape ManyTriangles() {
    CarShape shape;
    shape.partVertexCounts = {3, 4};
    shape.partTriangleCounts = {20, 9};
    shape.colourCount = 16;
    return shape;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_fuzz_seeds FOLDER\n");
        return 2;
    }
    namespace fs = std::filesystem;
    fs::path folder = argv[1];
    try {
        for (const char* target : {"verro3", "kesh", "damaged"}) {
            fs::create_directories(folder / target);
        }
        const TableLayout reversed{{5, 4, 3, 2, 1, 0}, 16};
        const TableLayout keshReversed{{13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0}, 8};
        auto write = [&](const char* target, const char* name, const Bytes& bytes) {
            WriteBytes((folder / target / name).string(), bytes);
        };
        write("verro3", "car.fce", MakeVerro3(FuzzCar()).Build());
        write("verro3", "reversed.fce", MakeVerro3(FuzzCar()).Build(reversed));
        write("verro3", "empty.fce", MakeVerro3(CarShape{}).Build());
        write("verro3", "triangles.fce", MakeVerro3(ManyTriangles()).Build());
        write("kesh", "car.fce", MakeKesh(FuzzCar()).Build());
        write("kesh", "reversed.fce", MakeKesh(FuzzCar()).Build(keshReversed));
        write("kesh", "empty.fce", MakeKesh(CarShape{}).Build());
        write("kesh", "triangles.fce", MakeKesh(ManyTriangles()).Build());
        write("damaged", "same.fce", MakeVerro3(FuzzCar()).Build());
        write("damaged", "other.fce", MakeVerro3(FuzzCar(5)).Build(reversed));
        write("damaged", "mismatch.fce", MakeVerro3(ManyTriangles()).Build());
        write("damaged", "kesh.fce", MakeKesh(FuzzCar()).Build());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "make_fuzz_seeds: %s\n", error.what());
        return 1;
    }
    return 0;
}
