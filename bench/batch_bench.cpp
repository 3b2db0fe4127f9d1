// Runs the real fceconv on collections of 100, 1,000 and 10,000 generated cars of 2,000 to
// 6,000 vertices: "convert --to kesh -d" beside a plain read and write of the same bytes
// through the same file calls, then "check" on all of them with its peak memory.
//
// 10,000 such cars and their outputs are 19 GB, more than the disk can take in without
// making every figure its own, and more than memory can hold. So 1,000 cars are generated,
// and the collection of 10,000 names each of them ten times (hard links): every name is still
// opened, read, converted and written to an output of its own, and the inputs stay in memory.
// The files go to VERRO_BENCH_DIR, else to /dev/shm when it has room for the 12 GB, else to a
// temporary folder, and are removed at the end.
// Wall time is what a user waits; processor time (user + system) is the tool's own part of
// it, less disturbed by whatever else the machine is doing.
#include "platform/platform.h"
#include "tests/support/fce_builder.h"
#include "tests/support/temp_dir.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const size_t SIZES[] = {100, 1'000, 10'000};

struct Car {
    std::string path;
    uint64_t keshBytes; // what the conversion writes for it
};

const size_t DISTINCT_CARS = 1'000;
// Outputs of the largest collection and the distinct inputs, with room to spare.
const uint64_t BYTES_NEEDED = 16ull << 30;

// Cars in 16 parts with two triangles a vertex, as real cars have; the vertex counts spread
// evenly over 2,000 to 6,000 in a fixed pseudo-random order. Car i of a collection larger
// than DISTINCT_CARS is a link to car i % DISTINCT_CARS.
std::vector<Car> WriteCars(const fs::path& folder, size_t count) {
    fs::create_directories(folder);
    std::vector<Car> cars;
    uint32_t random = 12345;
    for (size_t i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "car%05zu.fce", i);
        std::string path = (folder / name).string();
        if (i >= DISTINCT_CARS) {
            fs::create_hard_link(cars[i % DISTINCT_CARS].path, path);
            cars.push_back({path, cars[i % DISTINCT_CARS].keshBytes});
            continue;
        }
        random = random * 1103515245u + 12345u;
        uint32_t vertices = 2000 + (random >> 8) % 4001;
        CarShape shape;
        shape.colourCount = 4;
        shape.seed = static_cast<uint32_t>(i);
        for (uint32_t p = 0; p < 16; ++p) {
            shape.partVertexCounts.push_back(vertices / 16 + (p < vertices % 16));
            shape.partTriangleCounts.push_back(2 * shape.partVertexCounts.back());
        }
        cars.push_back({path, 8248 + 140ull * vertices + 68ull * 2 * vertices});
        WriteBytes(path, MakeVerro3(shape).Build());
    }
    return cars;
}

// Memory the system can still give, from /proc/meminfo.
uint64_t AvailableMemory() {
    std::ifstream meminfo("/proc/meminfo");
    std::string key;
    uint64_t kib = 0;
    while (meminfo >> key >> kib && key != "MemAvailable:") {
        meminfo.ignore(256, '\n');
    }
    return key == "MemAvailable:" ? kib * 1024 : 0;
}

struct Outcome {
    double seconds;
    double processorSeconds;
    int status;
    long peakKiB;
};

double Seconds(const timeval& time) {
    return double(time.tv_sec) + double(time.tv_usec) / 1e6;
}

// Runs fceconv with its output thrown away, as a user's shell would start it.
Outcome Fceconv(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), FCECONV_PATH);
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    auto start = Clock::now();
    pid_t child = 0;
    int status = -1;
    struct rusage usage {};
    if (posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        wait4(child, &status, 0, &usage);
    }
    std::chrono::duration<double> elapsed = Clock::now() - start;
    posix_spawn_file_actions_destroy(&actions);
    return {elapsed.count(), Seconds(usage.ru_utime) + Seconds(usage.ru_stime),
            WIFEXITED(status) ? WEXITSTATUS(status) : -1, usage.ru_maxrss};
}

// The same inputs read whole and as many bytes written as the conversion writes, with the
// platform's file calls: open, size, read, close, create, write, close.
Outcome PlainCopy(const std::vector<Car>& cars, size_t count, const fs::path& out) {
    fs::create_directories(out);
    struct rusage before {
    }, after{};
    getrusage(RUSAGE_SELF, &before);
    auto start = Clock::now();
    std::vector<uint8_t> buffer;
    for (size_t i = 0; i < count; ++i) {
        uint64_t size = 0;
        FileHandle in = OpenFileForReading(cars[i].path.c_str());
        bool ok = in && QueryFileSize(in, &size);
        buffer.resize(std::max(size, cars[i].keshBytes));
        ok = ok && ReadFileExactly(in, buffer.data(), static_cast<uint32_t>(size));
        ok = in && CloseFileHandle(in) && ok;
        FileHandle file = CreateFileForWriting((out / fs::path(cars[i].path).filename()).string().c_str());
        ok = ok && file && WriteFileExactly(file, buffer.data(), static_cast<uint32_t>(cars[i].keshBytes));
        if (!(file && CloseFileHandle(file) && ok)) {
            std::fprintf(stderr, "the plain copy of %s failed\n", cars[i].path.c_str());
            std::exit(1);
        }
    }
    std::chrono::duration<double> elapsed = Clock::now() - start;
    getrusage(RUSAGE_SELF, &after);
    return {elapsed.count(),
            Seconds(after.ru_utime) + Seconds(after.ru_stime) - Seconds(before.ru_utime) -
                Seconds(before.ru_stime),
            0, 0};
}

// Each timed run starts with no dirty pages of an earlier one left to write, in a folder of
// its own; the folder goes after the run, untimed.
Outcome Timed(const fs::path& out, const std::function<Outcome()>& run) {
    fs::create_directories(out);
    sync();
    Outcome outcome = run();
    fs::remove_all(out);
    sync();
    return outcome;
}

} // namespace

int main() {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const char* benchDir = std::getenv("VERRO_BENCH_DIR");
    if (!benchDir && fs::is_directory("/dev/shm") && AvailableMemory() > BYTES_NEEDED &&
        fs::space("/dev/shm").available > BYTES_NEEDED) {
        benchDir = "/dev/shm";
    }
    TempDir temporary;
    fs::path folder = benchDir ? fs::path(benchDir) / ("verro-batch-bench-" + std::to_string(getpid()))
                               : fs::path(temporary.Folder());
    std::printf("fceconv on collections of cars of 2,000 to 6,000 vertices (Verro3 -> Kesh), in %s\n",
                folder.string().c_str());
    auto start = Clock::now();
    std::vector<Car> cars = WriteCars(folder / "in", SIZES[std::size(SIZES) - 1]);
    std::chrono::duration<double> generated = Clock::now() - start;
    std::printf("  %zu cars written in %.1f s (%zu distinct, each under %zu names)\n\n", cars.size(),
                generated.count(), DISTINCT_CARS, cars.size() / DISTINCT_CARS);
    std::printf("  %6s | %-31s | %-31s | %s\n", "", "fceconv convert -d", "plain read + write", "ratio");
    std::printf("  %6s | %9s %9s %11s | %9s %9s %11s | %5s %5s\n", "cars", "wall", "processor", "wall/car",
                "wall", "processor", "wall/car", "wall", "proc.");
    // Wall time per car of the smallest and the largest collection, fceconv's and the copy's.
    double first = 0, last = 0, firstPlain = 0, lastPlain = 0;
    for (size_t size : SIZES) {
        std::vector<std::string> arguments = {"convert", "--to", "kesh", "-d", (folder / "out").string()};
        for (size_t i = 0; i < size; ++i) {
            arguments.push_back(cars[i].path);
        }
        // The best of several rounds keeps a stray pause of the machine out; the smaller
        // collections are short, so they get more.
        Outcome batch{1e9, 1e9, 0, 0}, plain{1e9, 1e9, 0, 0};
        for (int round = 0; round < (size < 1'000 ? 5 : size < 10'000 ? 3 : 2); ++round) {
            Outcome copied = Timed(folder / "out", [&] { return PlainCopy(cars, size, folder / "out"); });
            Outcome converted = Timed(folder / "out", [&] { return Fceconv(arguments); });
            if (converted.status != 0) {
                std::fprintf(stderr, "fceconv convert failed with status %d\n", converted.status);
                return 1;
            }
            plain = {std::min(plain.seconds, copied.seconds),
                     std::min(plain.processorSeconds, copied.processorSeconds), 0, 0};
            batch = {std::min(batch.seconds, converted.seconds),
                     std::min(batch.processorSeconds, converted.processorSeconds), 0, 0};
        }
        double perCar = batch.seconds / double(size);
        last = perCar;
        lastPlain = plain.seconds / double(size);
        first = first == 0 ? last : first;
        firstPlain = firstPlain == 0 ? lastPlain : firstPlain;
        std::printf("  %6zu | %7.2f s %7.2f s %8.3f ms | %7.2f s %7.2f s %8.3f ms | %5.2f %5.2f\n", size,
                    batch.seconds, batch.processorSeconds, perCar * 1e3, plain.seconds,
                    plain.processorSeconds, plain.seconds / double(size) * 1e3, batch.seconds / plain.seconds,
                    batch.processorSeconds / plain.processorSeconds);
    }
    std::printf("  wall time per car at %zu cars / at %zu cars: fceconv %.2f, plain read + write %.2f\n\n",
                SIZES[std::size(SIZES) - 1], SIZES[0], last / first, lastPlain / firstPlain);
    std::vector<std::string> arguments = {"check"};
    for (const Car& car : cars) {
        arguments.push_back(car.path);
    }
    Outcome check = Fceconv(arguments);
    std::printf("  fceconv check on %zu cars: %.2f s (%.2f s processor), %.3f ms per car, peak memory "
                "%.1f MiB, status %d\n",
                cars.size(), check.seconds, check.processorSeconds, check.seconds / double(cars.size()) * 1e3,
                check.peakKiB / 1024.0, check.status);
    fs::remove_all(folder);
    return 0;
}
